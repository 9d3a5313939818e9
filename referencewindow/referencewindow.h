#pragma once

#include "reference.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTabWidget;
class QTreeView;
class ReferenceEntryModel;
class SvgPicture;

// «Справочник»: the signs, markings and fines of the open database in three
// tabs, each a list grouped as in the source with picture, number and
// title; the selected entry large with its description. The search field
// filters every tab by number, title and description. Arrows move, Enter
// opens a group or goes from the search to the list, Esc closes. It is not
// modal: it may stay open beside an attempt.
class ReferenceWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ReferenceWindow(QWidget *parent = nullptr);

    // The reference of the open database; an empty one shows where a
    // reference comes from.
    void setReference(const Reference &reference);
    const Reference &reference() const { return m_reference; }

    // Shows the window with the entry of `number` selected (the search
    // cleared); false when the reference does not hold it.
    bool showEntry(ReferenceKind kind, const QString &number);

    // The three tabs, in their order.
    enum Tab
    {
        Signs,
        Markings,
        Penalties
    };

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void rebuildModels();
    void onSearchChanged(const QString &text);
    void onCurrentChanged(const QModelIndex &current);
    void showDetail(const QModelIndex &index);
    void selectFirstEntry(int tab);
    QTreeView *currentList() const;

    Reference m_reference;
    QLineEdit *m_search = nullptr;
    QTabWidget *m_tabs = nullptr;
    QLabel *m_empty = nullptr;
    QLabel *m_noPenalties = nullptr;
    QWidget *m_content = nullptr;
    std::array<QTreeView *, 3> m_lists{};
    std::array<ReferenceEntryModel *, 3> m_models{};
    std::array<QSortFilterProxyModel *, 3> m_proxies{};
    SvgPicture *m_picture = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_description = nullptr;
    qreal m_iconPixelRatio = 0;
};
