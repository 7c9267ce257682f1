// The spy list window, its line tracking and its "Remove From Game" item.
#include "tspylist.h"

#include "window_style.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace {

const char* const tagProperty = "tag";

} // namespace

Tspylist::Tspylist(QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Tspylist"));
    setWindowTitle(QStringLiteral("Lexmire -Spys"));
    setModal(false);
    setFixedSize(170, 195);

    namespace pal = windowpalette;
    setStyleSheet(
        QStringLiteral("QLabel#label_spylist { color: %1; background: transparent; font-size: 11pt;"
                       " font-weight: bold; }"
                       "QListWidget { background: %2; color: %3; border: 2px solid %4; border-radius: 3px;"
                       " font-size: 9pt; padding: 2px; outline: none; }"
                       "QListWidget::item { padding: 2px 3px; }"
                       "QListWidget::item:hover { background: %5; }"
                       "QListWidget::item:selected { background: %1; color: %3; }")
            .arg(windowstyle::css(pal::gold()), windowstyle::css(pal::white()), windowstyle::css(pal::ink()),
                windowstyle::css(pal::goldRule()), windowstyle::css(pal::listHover()))
        + windowstyle::focusRing() + windowstyle::scrollBar() + windowstyle::goldButtons()
        + QStringLiteral("QMenu { background: %1; color: %2; border: 1px solid %3; }"
                         "QMenu::item { padding: 4px 18px; }"
                         "QMenu::item:selected { background: %4; }"
                         "QMenu::item:disabled { color: %5; }")
              .arg(windowstyle::css(pal::white()), windowstyle::css(pal::ink()),
                  windowstyle::css(pal::midnight()), windowstyle::css(pal::gold()),
                  windowstyle::css(pal::disabledText())));

    auto* label = new QLabel(QStringLiteral("Spy List"), this);
    label->setObjectName(QStringLiteral("label_spylist"));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(0, 6, 170, 22);

    listbox = new QListWidget(this);
    listbox->setObjectName(QStringLiteral("listbox_spys"));
    listbox->setGeometry(10, 32, 150, 124);
    listbox->setSelectionMode(QAbstractItemView::SingleSelection);
    listbox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    listbox->setContextMenuPolicy(Qt::DefaultContextMenu);
    listbox->viewport()->setMouseTracking(true);
    listbox->viewport()->installEventFilter(this);
    listbox->installEventFilter(this);
    setListTag(-1);

    popupKick = new QMenu(listbox);
    popupKick->setObjectName(QStringLiteral("popup_kick"));
    popupKickHim = popupKick->addAction(QStringLiteral("Remove From Game"));
    popupKickHim->setObjectName(QStringLiteral("popup_kickhim"));
    popupKickHim->setEnabled(false);
    connect(popupKickHim, &QAction::triggered, this, &Tspylist::popup_kickhimClick);

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("button_ok"));
    ok->setGeometry(50, 163, 70, 24);
    ok->setCursor(Qt::PointingHandCursor);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &Tspylist::button_okClick);
}

void Tspylist::addSpyLine(const QString& line) { listbox->addItem(line); }

bool Tspylist::removeSpyLine(const QString& line)
{
    for (int i = 0; i < listbox->count(); ++i) {
        if (listbox->item(i)->text() == line) {
            delete listbox->takeItem(i);
            return true;
        }
    }
    return false;
}

QStringList Tspylist::lines() const
{
    QStringList out;
    for (int i = 0; i < listbox->count(); ++i)
        out << listbox->item(i)->text();
    return out;
}

void Tspylist::setKickEnabled(bool enabled) { popupKickHim->setEnabled(enabled); }

bool Tspylist::kickEnabled() const { return popupKickHim->isEnabled(); }

int Tspylist::listTag() const { return listbox->property(tagProperty).toInt(); }

void Tspylist::setListTag(int index) { listbox->setProperty(tagProperty, index); }

void Tspylist::listbox_spysMouseMove(const QPoint& viewportPos)
{
    const QModelIndex index = listbox->indexAt(viewportPos);
    setListTag(index.isValid() ? index.row() : -1);
}

void Tspylist::popup_kickhimClick()
{
    const int index = listTag();
    // The list may have changed since the pointer was over the line.
    if (index < 0 || index >= listbox->count())
        return;
    const QString line = listbox->item(index)->text();
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0)
        return;
    bool ok = false;
    const int number = line.left(colon).toInt(&ok);
    if (!ok)
        return;
    emit kickRequested(number);
}

void Tspylist::button_okClick() { close(); }

bool Tspylist::eventFilter(QObject* watched, QEvent* event)
{
    // The menu key on the list: the pop-up is for the current line, shown beside it.
    if (watched == listbox && event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        const int row = listbox->currentRow();
        setListTag(row);
        const QRect line = row >= 0 ? listbox->visualItemRect(listbox->item(row)) : QRect();
        popupKick->popup(listbox->viewport()->mapToGlobal(line.isValid() ? line.bottomLeft() : QPoint()));
        return true;
    }
    if (watched == listbox->viewport()) {
        switch (event->type()) {
        case QEvent::MouseMove:
            listbox_spysMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
            break;
        case QEvent::ContextMenu: {
            // The pop-up must not block: the event loop (and the game) goes on
            // while it is open, and its item reads the tag when chosen.
            auto* menuEvent = static_cast<QContextMenuEvent*>(event);
            listbox_spysMouseMove(menuEvent->pos());
            popupKick->popup(menuEvent->globalPos());
            return true;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tspylist::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, windowpalette::navyRaised());
    g.setColorAt(1, windowpalette::navy());
    p.fillRect(rect(), g);
}
