// The layout's scaling: geometry, fonts and style-sheet lengths of every control in proportion.
#include "layout_scaler.h"

#include <QApplication>
#include <QEvent>
#include <QRegularExpression>
#include <QTextEdit>
#include <QWidget>

#include <algorithm>
#include <cmath>

LayoutScaler::LayoutScaler(QWidget* clientArea, QWidget* mainPanel)
    : QObject(mainPanel)
    , area(clientArea)
    , panel(mainPanel)
{
    if (area)
        area->installEventFilter(this);
}

void LayoutScaler::setEnabled(bool on)
{
    if (enabled == on)
        return;
    enabled = on;
    apply();
}

void LayoutScaler::exclude(QWidget* widget)
{
    excluded.insert(widget);
    entries.erase(widget);
}

qreal LayoutScaler::scaleFor(QSize size)
{
    const qreal wide = qreal(size.width() - 2 * kMargin) / kPanelSize.width();
    const qreal high = qreal(size.height() - 2 * kMargin) / kPanelSize.height();
    return std::clamp(std::min(wide, high), 1.0, kMaxScale);
}

QString LayoutScaler::scaledStyleSheet(const QString& sheet, qreal scale)
{
    if (scale == 1.0)
        return sheet;
    static const QRegularExpression length(QStringLiteral("(\\d+(?:\\.\\d+)?)px"));
    QString out;
    qsizetype from = 0;
    for (auto it = length.globalMatch(sheet); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += sheet.mid(from, match.capturedStart() - from);
        // Hairlines stay at least a pixel; everything else rounds to whole pixels.
        const double value = match.captured(1).toDouble();
        out += QString::number(std::max(value > 0 ? 1.0 : 0.0, std::round(value * scale))) + "px";
        from = match.capturedEnd();
    }
    out += sheet.mid(from);
    return out;
}

QRect LayoutScaler::scaledRect(const QRect& base, qreal scale)
{
    if (scale == 1.0)
        return base;
    const int left = int(std::lround(base.x() * scale));
    const int top = int(std::lround(base.y() * scale));
    const int right = int(std::lround((base.x() + base.width()) * scale));
    const int bottom = int(std::lround((base.y() + base.height()) * scale));
    return QRect(left, top, right - left, bottom - top);
}

void LayoutScaler::collect(QWidget* parent)
{
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow() || excluded.count(widget))
            continue;
        const QString name = widget->objectName();
        // Only the layout's own controls: the parts inside a list or an edit box follow it.
        if (name.isEmpty() || name.startsWith("qt_"))
            continue;
        if (!entries.count(widget)) {
            Entry entry;
            entry.widget = widget;
            // A control added while the layout is grown was placed by code that knows only the
            // layout's own size; what it inherits from the grown panels is no base, so a font
            // nobody set on it is the application's.
            entry.geometry = widget->geometry();
            entry.sheet = widget->styleSheet();
            entry.applied = entry.sheet;
            entry.font = widget->testAttribute(Qt::WA_SetFont) ? widget->font() : QApplication::font(widget);
            // The chat pane grows its text itself, from the size the player chose (its document's
            // font, not the widget's).
            entry.scalesFont = !widget->inherits("QTextEdit");
            widget->installEventFilter(this);
            entries.emplace(widget, entry);
        }
        if (name.startsWith("panel_"))
            collect(widget);
    }
}

void LayoutScaler::layOut(Entry& entry)
{
    QWidget* widget = entry.widget;
    widget->setGeometry(scaledRect(entry.geometry, current));
    const QString sheet = scaledStyleSheet(entry.sheet, current);
    if (widget->styleSheet() != sheet) {
        entry.applied = sheet;
        widget->setStyleSheet(sheet);
    }
    if (!entry.scalesFont)
        return;
    const QFont font = scaledFont(entry.font, current);
    if (widget->font() != font)
        widget->setFont(font);
}

QFont LayoutScaler::scaledFont(QFont font, qreal scale)
{
    if (scale != 1.0) {
        if (font.pixelSize() > 0)
            font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * scale))));
        else
            font.setPointSizeF(font.pointSizeF() * scale);
    }
    return font;
}

void LayoutScaler::placePanel()
{
    const QSize size(
        int(std::lround(kPanelSize.width() * current)), int(std::lround(kPanelSize.height() * current)));
    if (current == 1.0) {
        panel->setGeometry(QRect(QPoint(kMargin, kMargin), size));
        return;
    }
    const QSize room = area->size();
    panel->setGeometry(QRect(QPoint(std::max(kMargin, (room.width() - size.width()) / 2),
                                 std::max(kMargin, (room.height() - size.height()) / 2)),
        size));
}

void LayoutScaler::apply()
{
    if (!area || !panel || applying)
        return;
    applying = true;
    const qreal next = enabled ? scaleFor(area->size()) : 1.0;
    collect(panel);
    const bool changed = next != current;
    current = next;
    placePanel();
    for (auto it = entries.begin(); it != entries.end();) {
        if (!it->second.widget) {
            it = entries.erase(it);
            continue;
        }
        layOut(it->second);
        ++it;
    }
    applying = false;
    if (changed)
        emit scaleChanged(current);
}

bool LayoutScaler::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == area && event->type() == QEvent::Resize) {
        apply();
    } else if (event->type() == QEvent::FontChange && !applying) {
        // An owner set a new font at the layout's own size: it is grown like the first.
        const auto it = entries.find(static_cast<QWidget*>(watched));
        if (it != entries.end() && it->second.widget && it->second.scalesFont) {
            // Anything but the font the scaler set is the owner's, at the layout's own size.
            Entry& entry = it->second;
            if (entry.widget->font() != scaledFont(entry.font, current)) {
                entry.font = entry.widget->font();
                const QFont scaled = scaledFont(entry.font, current);
                if (scaled != entry.font) {
                    applying = true;
                    entry.widget->setFont(scaled);
                    applying = false;
                }
            }
        }
    } else if (event->type() == QEvent::StyleChange && !applying) {
        // An owner set a new look at the layout's own size: it is scaled like the first.
        const auto it = entries.find(static_cast<QWidget*>(watched));
        if (it != entries.end() && it->second.widget
            && it->second.widget->styleSheet() != it->second.applied) {
            Entry& entry = it->second;
            entry.sheet = entry.widget->styleSheet();
            entry.applied = scaledStyleSheet(entry.sheet, current);
            if (entry.applied != entry.sheet) {
                applying = true;
                entry.widget->setStyleSheet(entry.applied);
                applying = false;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
