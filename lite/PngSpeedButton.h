// TPngSpeedButton: the flat picture buttons of the lite window. The picture is a PNG with alpha, drawn
// where a speed button puts its glyph (centred, or beside the caption); a disabled button shows a copy of
// the picture made grey and half transparent instead of the style's own disabled look.
#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QImage>
#include <QToolButton>

class TPngSpeedButton : public QToolButton {
    Q_OBJECT
public:
    enum PngOption { pngBlendOnDisabled = 1, pngGrayscaleOnDisabled = 2 };

    explicit TPngSpeedButton(QWidget* parent = nullptr);

    // Reads the PNG file or resource; false (and no picture) when it cannot be read or its header is no
    // PNG's. The picture is decoded through libpng when first drawn or asked for, so that the buttons a
    // window hides at its start cost nothing before its first paint; a stream damaged past its header then
    // leaves the button without a picture. A picture of twice the size named "NAME@2x.png" beside it serves
    // screens of scale 2; it is decoded when the icon is first asked for that size, so a screen of scale 1
    // never pays for it.
    bool LoadPng(const QString& FileName);
    void SetPngImage(const QImage& Image);
    const QImage& PngImage() const;
    void SetPngOptions(int Options);
    int PngOptions() const { return FPngOptions; }

    // The picture a disabled button shows, from the options: every alpha value times 128/256 and every
    // colour replaced by its grey 0.30 R + 0.59 G + 0.11 B.
    static QImage DisabledImage(const QImage& Image, int Options);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void UpdateIcon();

    mutable QImage FPngImage;
    mutable QByteArray FPngData; // the file's bytes until the picture is decoded
    QSize FPngSize;
    QString FPngFile2x;
    int FPngOptions = pngBlendOnDisabled | pngGrayscaleOnDisabled;
    // When this button last took a press: the second half of a double-click that began elsewhere (on
    // "Начать игру", which the buttons replace at the same place) is no click of ours.
    QElapsedTimer FLastPress;
};
