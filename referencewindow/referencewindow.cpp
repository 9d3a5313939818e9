#include "referencewindow.h"

#include "referenceentrymodel.h"
#include "screenfit.h"
#include "svgpicture.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int IconSide = 32;
// Markings are road sketches, far wider than tall: their icons are too.
constexpr QSize MarkingIconSize(80, 32);

} // namespace

ReferenceWindow::ReferenceWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("referenceWindow"));
    setWindowTitle(QStringLiteral("Справочник"));
    // No larger than the largest window of the program (the exam window),
    // which the automatic interface scale counts with.
    resize(730, 490);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("referenceSearch"));
    m_search->setPlaceholderText(QStringLiteral("Поиск по номеру, названию или описанию"));
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);
    connect(m_search, &QLineEdit::textChanged, this, &ReferenceWindow::onSearchChanged);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("referenceTabs"));
    const std::array<QString, 3> captions{QStringLiteral("Знаки"), QStringLiteral("Разметка"),
                                          QStringLiteral("Штрафы")};
    const std::array<const char *, 3> names{"signList", "markingList", "penaltyList"};
    for (int tab = 0; tab < 3; ++tab) {
        auto *list = new QTreeView(m_tabs);
        list->setObjectName(QString::fromLatin1(names[tab]));
        list->setHeaderHidden(true);
        list->setIconSize(tab == Markings ? MarkingIconSize : QSize(IconSide, IconSide));
        list->setUniformRowHeights(false);
        list->setWordWrap(true);
        list->setExpandsOnDoubleClick(true);
        list->installEventFilter(this);
        m_proxies[tab] = new QSortFilterProxyModel(this);
        m_proxies[tab]->setFilterRole(ReferenceEntryModel::SearchTextRole);
        m_proxies[tab]->setFilterCaseSensitivity(Qt::CaseInsensitive);
        m_proxies[tab]->setRecursiveFilteringEnabled(true);
        list->setModel(m_proxies[tab]);
        connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &ReferenceWindow::onCurrentChanged);
        m_lists[tab] = list;
        if (tab != Penalties) {
            m_tabs->addTab(list, captions[tab]);
            continue;
        }
        // A reference without fines says on their tab where fines come from.
        auto *page = new QWidget(m_tabs);
        auto *pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        pageLayout->addWidget(list);
        m_noPenalties = new QLabel(
            QStringLiteral("В справочнике этой базы нет штрафов.\n\nШтрафы за нарушения "
                           "(статьи КоАП РФ с их наказаниями) приходят вместе с билетами: "
                           "импортируйте их командой «Импортировать билеты…» в меню "
                           "«Настройка» из папки или архива, где рядом с папкой «questions» "
                           "лежит папка «penalties»."),
            page);
        m_noPenalties->setObjectName(QStringLiteral("referenceNoPenalties"));
        m_noPenalties->setWordWrap(true);
        m_noPenalties->setAlignment(Qt::AlignCenter);
        m_noPenalties->setMargin(12);
        pageLayout->addWidget(m_noPenalties);
        m_tabs->addTab(page, captions[tab]);
    }
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        const QModelIndex current = currentList()->currentIndex();
        showDetail(current);
    });

    m_picture = new SvgPicture(this);
    m_picture->setObjectName(QStringLiteral("referencePicture"));
    m_picture->setMinimumSize(200, 200);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("referenceTitle"));
    m_title->setWordWrap(true);
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    m_title->setFont(titleFont);
    m_description = new QLabel(this);
    m_description->setObjectName(QStringLiteral("referenceDescription"));
    m_description->setWordWrap(true);
    m_description->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_description->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *detail = new QVBoxLayout;
    detail->addWidget(m_picture, 3);
    detail->addWidget(m_title);
    detail->addWidget(m_description, 2);

    m_content = new QWidget(this);
    auto *content = new QHBoxLayout(m_content);
    content->setContentsMargins(0, 0, 0, 0);
    content->addWidget(m_tabs, 1);
    content->addLayout(detail, 1);

    m_empty = new QLabel(this);
    m_empty->setObjectName(QStringLiteral("referenceEmpty"));
    m_empty->setWordWrap(true);
    m_empty->setAlignment(Qt::AlignCenter);
    m_empty->setText(QStringLiteral(
        "У этой базы вопросов нет справочника.\n\nСправочник знаков, разметки и штрафов "
        "появляется вместе с билетами: импортируйте их командой «Импортировать билеты…» в меню "
        "«Настройка» из папки или архива, где рядом с папкой «questions» лежат папки «signs», "
        "«markup» и «penalties». Справочник сохраняется рядом с базой в файле с окончанием "
        "«.reference.json»."));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_search);
    layout->addWidget(m_content, 1);
    layout->addWidget(m_empty, 1);

    setReference(Reference());
}

void ReferenceWindow::setReference(const Reference &reference)
{
    m_reference = reference;
    rebuildModels();
}

void ReferenceWindow::rebuildModels()
{
    m_iconPixelRatio = devicePixelRatioF();
    for (int tab = 0; tab < 3; ++tab) {
        ReferenceEntryModel *model =
            tab == Penalties
                ? new ReferenceEntryModel(m_reference.penalties, this)
                : new ReferenceEntryModel(
                      m_reference, tab == Signs ? ReferenceKind::Sign : ReferenceKind::Marking,
                      m_lists[tab]->iconSize(), m_iconPixelRatio, this);
        m_proxies[tab]->setSourceModel(model);
        // The proxy has let go of the old model: it goes at once, not later,
        // so it never outlives the window.
        delete m_models[tab];
        m_models[tab] = model;
        m_lists[tab]->expandAll();
    }
    const bool empty = m_reference.isEmpty();
    m_content->setVisible(!empty);
    m_search->setEnabled(!empty);
    m_empty->setVisible(empty);
    for (int tab = 0; tab < 3; ++tab)
        m_tabs->setTabEnabled(tab, m_models[tab]->rowCount() > 0 || tab == Penalties);
    const bool penalties = m_models[Penalties]->rowCount() > 0;
    m_lists[Penalties]->setVisible(penalties);
    m_noPenalties->setVisible(!penalties);
    for (int tab = 0; tab < 3; ++tab) {
        if (m_models[tab]->rowCount() > 0) {
            m_tabs->setCurrentIndex(tab);
            break;
        }
    }
    showDetail(QModelIndex());
    onSearchChanged(m_search->text());
}

bool ReferenceWindow::showEntry(ReferenceKind kind, const QString &number)
{
    const int tab = kind == ReferenceKind::Sign ? Signs : Markings;
    if (!m_models[tab]->indexOf(number).isValid())
        return false;
    show();
    raise();
    activateWindow();
    const QModelIndex source = m_models[tab]->indexOf(number);
    m_search->clear();
    m_tabs->setCurrentIndex(tab);
    const QModelIndex shown = m_proxies[tab]->mapFromSource(source);
    m_lists[tab]->setCurrentIndex(shown);
    m_lists[tab]->scrollTo(shown);
    m_lists[tab]->setFocus();
    return true;
}

void ReferenceWindow::onSearchChanged(const QString &text)
{
    for (int tab = 0; tab < 3; ++tab) {
        m_proxies[tab]->setFilterFixedString(text.trimmed());
        m_lists[tab]->expandAll();
        const QModelIndex current = m_lists[tab]->currentIndex();
        if (!current.isValid() || !current.data(ReferenceEntryModel::NumberRole).isValid())
            selectFirstEntry(tab);
    }
    // A search that finds nothing on this tab moves to one where it does.
    if (m_proxies[m_tabs->currentIndex()]->rowCount() == 0) {
        for (int tab = 0; tab < 3; ++tab) {
            if (m_proxies[tab]->rowCount() > 0) {
                m_tabs->setCurrentIndex(tab);
                break;
            }
        }
    }
    showDetail(currentList()->currentIndex());
}

void ReferenceWindow::selectFirstEntry(int tab)
{
    QSortFilterProxyModel *proxy = m_proxies[tab];
    for (int row = 0; row < proxy->rowCount(); ++row) {
        QModelIndex index = proxy->index(row, 0);
        if (!index.data(ReferenceEntryModel::NumberRole).isValid())
            index = proxy->index(0, 0, index);
        if (index.isValid()) {
            m_lists[tab]->setCurrentIndex(index);
            return;
        }
    }
}

void ReferenceWindow::onCurrentChanged(const QModelIndex &current)
{
    if (current.model() == currentList()->model())
        showDetail(current);
}

void ReferenceWindow::showDetail(const QModelIndex &index)
{
    const bool entry = index.isValid() && index.data(ReferenceEntryModel::NumberRole).isValid();
    const QByteArray svg =
        entry ? index.data(ReferenceEntryModel::SvgRole).toByteArray() : QByteArray();
    m_picture->setSvg(svg);
    // An entry without a picture (a fine, a sign the source did not draw)
    // has its text at the top rather than under an empty square.
    m_picture->setVisible(!entry || m_picture->hasPicture());
    m_title->setText(entry ? index.data(Qt::DisplayRole).toString() : QString());
    m_description->setText(entry ? index.data(ReferenceEntryModel::DescriptionRole).toString()
                                 : QString());
}

QTreeView *ReferenceWindow::currentList() const
{
    return m_lists[qBound(0, m_tabs->currentIndex(), 2)];
}

void ReferenceWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool ReferenceWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == m_search && (enter || key->key() == Qt::Key_Down)) {
        // From the search to what it found.
        currentList()->setFocus();
        if (!currentList()->currentIndex().isValid())
            selectFirstEntry(m_tabs->currentIndex());
        return true;
    }
    QTreeView *list = currentList();
    if (watched == list && enter) {
        const QModelIndex current = list->currentIndex();
        if (current.isValid() && !current.data(ReferenceEntryModel::NumberRole).isValid())
            list->setExpanded(current, !list->isExpanded(current));
        else
            showDetail(current);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ReferenceWindow::showEvent(QShowEvent *event)
{
    // Shown on a screen of another scale: the small pictures are drawn anew.
    if (devicePixelRatioF() != m_iconPixelRatio)
        rebuildModels();
    QWidget::showEvent(event);
    // A scale chosen on a larger screen must not leave it past this one.
    ScreenFit::fitToScreen(this);
}
