#include "ticketcatalogue.h"

#include "artresources.h"
#include "bundledpictures.h"
#include "designwidgets.h"
#include "messageboxes.h"
#include "programinfo.h"
#include "statrecord.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyledItemDelegate>

namespace {

const QString ChooseTicket =
    QStringLiteral("Для работы в этом режиме необходимо выбрать билет из каталога...");

constexpr int TicketCount = 40;

// Catalogue items: the one under the mouse is drawn underlined.
class CatalogueDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->state & QStyle::State_MouseOver)
            option->font.setUnderline(true);
    }
};

} // namespace

TicketCatalogue::TicketCatalogue(QWidget *window) : QObject(window), m_window(window)
{
    m_heading = DesignWidgets::label(window, "Label1", QStringLiteral("Каталог билетов:"),
                                     DesignWidgets::fromBgr(0x0000FF00));
    QFont boldFont = window->font();
    boldFont.setPixelSize(13);
    boldFont.setBold(true);
    m_heading->setFont(boldFont);
    m_heading->move(8, 216);
    m_heading->adjustSize();

    m_list = new QListWidget(window);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setGeometry(8, 232, 377, 177);
    m_list->setViewMode(QListView::ListMode);
    m_list->setFlow(QListView::TopToBottom);
    m_list->setWrapping(true);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setMovement(QListView::Static);
    m_list->setIconSize(QSize(16, 16));
    // Ten rows of four columns fit the list without scrolling.
    m_list->setGridSize(QSize(92, 17));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMouseTracking(true);
    m_list->setFrameShape(QFrame::Box);
    m_list->setFrameShadow(QFrame::Plain);
    m_list->setItemDelegate(new CatalogueDelegate(m_list));
    QPalette listPal = m_list->palette();
    listPal.setColor(QPalette::Base, DesignWidgets::fromBgr(0x00CEFFFF));
    listPal.setColor(QPalette::Text, Qt::black);
    // The selection stays visible when the list loses the focus.
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        listPal.setColor(QPalette::Inactive, role, listPal.color(QPalette::Active, role));
    }
    m_list->setPalette(listPal);
    m_list->viewport()->installEventFilter(this);
    for (int ticket = 1; ticket <= TicketCount; ++ticket) {
        m_list->addItem(QStringLiteral("Билет №%1").arg(ticket, 2, 10, QLatin1Char('0')));
    }
    for (int status = 0; status <= 4; ++status)
        m_statusIcons.append(BundledPictures::icon(ArtResources::statusIcon(status)));

    createModeRows();
}

void TicketCatalogue::createModeRows()
{
    const QFont labelFont = m_window->font();
    struct ModeRow
    {
        const char *button;
        const char *label;
        const char *bevel;
        QString caption;
        QString text;
        quint32 colour;
        int top;
        int helpContext;
        QString glyph;
    };
    // Top to bottom; the tab order runs bottom to top, from the list.
    const ModeRow rows[] = {
        {"BitBtn3", "Label4", "Bevel1", QStringLiteral("Экзамен"),
         QStringLiteral("Повторяет теоретический экзамен по правилам дорожного движения."),
         0x000000FF, 232, 7, QStringLiteral("exam")},
        {"BitBtn2", "Label3", "Bevel5", QStringLiteral("Тренировка"),
         QStringLiteral("Проверка знаний также, как на экзамене по выбранному билету."), 0x0000FFFF,
         280, 6, QStringLiteral("training")},
        {"BitBtn4", "Label2", "Bevel2", QStringLiteral("Подготовка"),
         QStringLiteral("Обучение по случайно выбранному списку вопросов из всех билетов."),
         0x00FFFF00, 328, 5, QStringLiteral("preparation")},
        {"BitBtn1", "Label7", "Bevel3", QStringLiteral("Обучение"),
         QStringLiteral("Изучение выбранного билета с комментариями и статистикой."), 0x0000FF00,
         376, 4, QStringLiteral("learning")},
    };
    std::array<QPushButton *, 4> buttons{};
    for (size_t i = 0; i < buttons.size(); ++i) {
        const ModeRow &row = rows[i];
        auto *bevel = new QFrame(m_window);
        bevel->setObjectName(QString::fromLatin1(row.bevel));
        bevel->setFrameShape(QFrame::Box);
        bevel->setFrameShadow(QFrame::Sunken);
        bevel->setGeometry(QRect(392, row.top - 8, 323, 41));
        buttons[i] = new QPushButton(BundledPictures::icon(ArtResources::glyph(row.glyph)),
                                     row.caption, m_window);
        buttons[i]->setObjectName(QString::fromLatin1(row.button));
        buttons[i]->setGeometry(400, row.top, 121, 25);
        buttons[i]->setProperty(HelpContextProperty, row.helpContext);
        QLabel *text =
            DesignWidgets::label(m_window, row.label, row.text, DesignWidgets::fromBgr(row.colour));
        text->setGeometry(528, row.top, 185, 33);
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        text->setFont(labelFont);
    }
    m_examButton = buttons[0];
    m_trainingButton = buttons[1];
    m_preparationButton = buttons[2];
    m_learningButton = buttons[3];
    QWidget::setTabOrder(m_list, m_learningButton);
    QWidget::setTabOrder(m_learningButton, m_preparationButton);
    QWidget::setTabOrder(m_preparationButton, m_trainingButton);
    QWidget::setTabOrder(m_trainingButton, m_examButton);

    connect(m_learningButton, &QPushButton::clicked, this, [this] {
        if (const int ticket = requireTicket())
            emit learningChosen(ticket);
    });
    connect(m_preparationButton, &QPushButton::clicked, this,
            [this] { emit preparationChosen(selectedTicket()); });
    connect(m_trainingButton, &QPushButton::clicked, this, [this] {
        if (const int ticket = requireTicket())
            emit trainingChosen(ticket);
    });
    connect(m_examButton, &QPushButton::clicked, this, &TicketCatalogue::examChosen);
}

void TicketCatalogue::showStatuses(const StatRecord &record)
{
    for (int ticket = 1; ticket <= TicketCount; ++ticket)
        m_list->item(ticket - 1)->setIcon(m_statusIcons.value(record.ticketStatus(ticket)));
}

void TicketCatalogue::selectFirstTicket()
{
    m_list->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    m_list->setFocus();
}

int TicketCatalogue::selectedTicket() const
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    return selected.isEmpty() ? 0 : m_list->row(selected.constFirst()) + 1;
}

int TicketCatalogue::requireTicket()
{
    const int ticket = selectedTicket();
    if (ticket == 0) {
        MessageBoxes::information(m_window, QString::fromUtf8(ProgramInfo::MessageCaption),
                                  ChooseTicket);
    }
    return ticket;
}

bool TicketCatalogue::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport()) {
        if (event->type() == QEvent::MouseMove) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const bool overItem = m_list->indexAt(mouse->position().toPoint()).isValid();
            m_list->viewport()->setCursor(overItem ? Qt::PointingHandCursor : Qt::ArrowCursor);
        } else if (event->type() == QEvent::MouseButtonPress) {
            // A click on an empty part of the list leaves no ticket selected.
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (!m_list->indexAt(mouse->position().toPoint()).isValid())
                m_list->clearSelection();
        }
    }
    return QObject::eventFilter(watched, event);
}
