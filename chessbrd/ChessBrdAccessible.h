// TChessBrdAccessible: the board as screen readers see it, a table of 8 x 8 squares in the order they
// stand on the screen, each cell named by its square and what stands there; the keyboard cursor's square
// is the focused cell. Installed for every TChessBrd by InstallChessBrdAccessibility.
#pragma once

#include <QAccessibleWidget>

#include <array>

class TChessBrd;

class TChessBrdAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TChessBrdAccessible(TChessBrd* Board);
    ~TChessBrdAccessible() override;

    TChessBrd* Board() const;

    // QAccessibleInterface
    void* interface_cast(QAccessible::InterfaceType Type) override;
    QAccessible::Role role() const override;
    QString text(QAccessible::Text Text) const override;
    int childCount() const override;
    QAccessibleInterface* child(int Index) const override;
    int indexOfChild(const QAccessibleInterface* Child) const override;
    QAccessibleInterface* childAt(int X, int Y) const override;
    QAccessibleInterface* focusChild() const override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int Row, int Column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int Column) const override;
    QString rowDescription(int Row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return 8; }
    int rowCount() const override { return 8; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    // The cells, made on first use and registered with Qt's cache under these ids; freed with the table.
    mutable std::array<QAccessible::Id, 64> FCells{};
};

// Makes Qt answer every TChessBrd with a TChessBrdAccessible; safe to call more than once.
void InstallChessBrdAccessibility();
