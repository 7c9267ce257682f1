// The start-game dialog, its up-down arrows and its Start picture.
#include "tgamestartform.h"

#include "game_facts.h"
#include "window_style.h"

#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr int roundsMin = kDialogMinRounds;
constexpr int roundsMax = kDialogMaxRounds;
constexpr int roundsDefault = 3;
constexpr int minutesMin = kDialogMinMinutes;
constexpr int minutesMax = kDialogMaxMinutes;
constexpr int minutesDefault = 2;

namespace pal = windowpalette;

// One arrow of an up-down: a small flat button with a triangle on it.
class ArrowButton : public QAbstractButton {
public:
    ArrowButton(bool pointsUp, QWidget* parent)
        : QAbstractButton(parent)
        , pointsUp(pointsUp)
    {
        setAutoRepeat(true); // holding an arrow keeps stepping, as users expect
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::PointingHandCursor);
        setAttribute(Qt::WA_Hover);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        QColor face = isDown() ? pal::goldPressed() : underMouse() ? pal::goldHover() : pal::gold();
        if (!isEnabled())
            face = pal::disabledFace();
        p.setPen(pal::goldOutline());
        p.setBrush(face);
        p.drawRoundedRect(r, 2, 2);

        const qreal cx = r.center().x();
        const qreal cy = r.center().y() + (isDown() ? 0.5 : 0);
        const qreal w = std::min(r.width(), r.height() * 1.6) * 0.28;
        const qreal h = w * 0.75;
        QPainterPath tri;
        if (pointsUp) {
            tri.moveTo(cx - w, cy + h / 2);
            tri.lineTo(cx + w, cy + h / 2);
            tri.lineTo(cx, cy - h / 2);
        } else {
            tri.moveTo(cx - w, cy - h / 2);
            tri.lineTo(cx + w, cy - h / 2);
            tri.lineTo(cx, cy + h / 2);
        }
        tri.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(pal::navy());
        p.drawPath(tri);
    }

private:
    bool pointsUp;
};

} // namespace

UpDown::UpDown(int minimum, int maximum, int position, QWidget* parent)
    : QWidget(parent)
    , min(minimum)
    , max(maximum)
    , pos(std::clamp(position, minimum, maximum))
{
    up = new ArrowButton(true, this);
    up->setObjectName(QStringLiteral("up"));
    down = new ArrowButton(false, this);
    down->setObjectName(QStringLiteral("down"));
    connect(up, &QAbstractButton::clicked, this, &UpDown::stepUp);
    connect(down, &QAbstractButton::clicked, this, &UpDown::stepDown);
}

void UpDown::setAssociate(QLineEdit* edit)
{
    if (associate)
        associate->removeEventFilter(this);
    associate = edit;
    if (associate)
        associate->installEventFilter(this);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == associate && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Plus:
            stepUp();
            return true;
        case Qt::Key_Down:
        case Qt::Key_Minus:
            stepDown();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::setPosition(int position) { pos = std::clamp(position, min, max); }

void UpDown::stepUp() { step(+1); }

void UpDown::stepDown() { step(-1); }

void UpDown::step(int delta)
{
    // No wrap-around: a press beyond an end changes nothing, not even an
    // out-of-range text that came from the settings file.
    const int next = std::clamp(pos + delta, min, max);
    if (next == pos)
        return;
    pos = next;
    if (associate)
        associate->setText(QString::number(pos));
    emit positionChanged(pos);
}

PictureButton::PictureButton(const QString& caption, QWidget* parent)
    : QAbstractButton(parent)
{
    setText(caption);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

QSize PictureButton::sizeHint() const { return { 100, 30 }; }

void PictureButton::enterEvent(QEnterEvent* event)
{
    hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PictureButton::leaveEvent(QEvent* event)
{
    hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const bool pressed = isDown();
    // A margin all round for the focus ring, which must stand out against the navy, not the gold.
    QRectF r = QRectF(rect()).adjusted(3, 3, -4, -4);
    if (pressed)
        r.translate(1, 1);

    // Drop shadow, then a gold bar lit from above, like the game's tiles.
    p.setPen(Qt::NoPen);
    p.setBrush(pal::veilDark(90));
    if (!pressed)
        p.drawRoundedRect(r.translated(1.5, 1.5), 6, 6);

    QLinearGradient face(r.topLeft(), r.bottomLeft());
    face.setColorAt(0, hovered && !pressed ? pal::goldPale() : pal::goldText());
    face.setColorAt(0.5, hovered && !pressed ? pal::goldHover() : pal::gold());
    face.setColorAt(1, hovered && !pressed ? pal::goldPressed() : pal::goldEdge());
    p.setBrush(face);
    p.setPen(QPen(pal::goldOutline(), 1.2));
    p.drawRoundedRect(r, 6, 6);

    // A thin highlight along the top edge.
    p.setPen(QPen(pal::veilLight(150), 1));
    p.drawLine(QPointF(r.left() + 6, r.top() + 1.5), QPointF(r.right() - 6, r.top() + 1.5));

    QFont f = font();
    f.setBold(true);
    f.setPointSizeF(11);
    f.setLetterSpacing(QFont::PercentageSpacing, 106);
    p.setFont(f);
    const QFontMetricsF fm(f);
    const qreal textW = fm.horizontalAdvance(text());
    const qreal triW = 9;
    const qreal gap = 6;
    const qreal x0 = r.center().x() - (triW + gap + textW) / 2;
    const qreal cy = r.center().y();

    QPainterPath tri;
    tri.moveTo(x0, cy - 5.5);
    tri.lineTo(x0 + triW, cy);
    tri.lineTo(x0, cy + 5.5);
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(pal::navy());
    p.drawPath(tri);

    const QRectF textRect(x0 + triW + gap, r.top(), textW + 2, r.height());
    p.setPen(pal::veilLight(110));
    p.drawText(textRect.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter, text());
    p.setPen(pal::navy());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, text());

    if (hasFocus()) {
        p.setPen(QPen(pal::focusRing(), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
    }
}

Tgamestartform::Tgamestartform(QWidget* parent)
    // An ordinary dialog, as a tool window takes no keyboard under some window managers; its
    // frame offers closing only, as its size is fixed.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Tgamestartform"));
    setWindowTitle(QStringLiteral("Lexmire - Start Game"));
    setModal(false);
    setFixedSize(224, 176);
    setAutoFillBackground(false);

    setStyleSheet(
        QStringLiteral("QFrame#panel_startgame { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                       " stop:0 %1, stop:1 %2); border: 1px solid %3; border-radius: 4px; }"
                       "QLabel { color: %4; background: transparent; font-size: 9pt; }"
                       "QLabel#label_heading { color: %5; font-size: 11pt; font-weight: bold; }"
                       "QFrame#rule { background: %3; border: none; }"
                       "QLineEdit { background: %4; color: %6; border: 2px solid %3;"
                       " border-radius: 2px; font-weight: bold; font-size: 10pt; padding: 0px;"
                       " selection-background-color: %5; selection-color: %6; }"
                       // Its colours come from its palette: a colour here would paint the tick
                       // white on the white box.
                       "QCheckBox { border: 2px solid transparent; }")
            .arg(windowstyle::css(pal::navyRaised()), windowstyle::css(pal::navyDeep()),
                windowstyle::css(pal::goldRule()), windowstyle::css(pal::white()),
                windowstyle::css(pal::gold()), windowstyle::css(pal::ink()))
        + windowstyle::focusRing());

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("panel_startgame"));
    panel->setFrameShape(QFrame::NoFrame);
    panel->setGeometry(6, 6, 212, 164);

    auto* heading = new QLabel(QStringLiteral("Game Settings"), panel);
    heading->setObjectName(QStringLiteral("label_heading"));
    heading->setAlignment(Qt::AlignCenter);
    heading->setGeometry(0, 6, 212, 22);

    auto* rule = new QFrame(panel);
    rule->setObjectName(QStringLiteral("rule"));
    rule->setGeometry(24, 30, 164, 1);

    auto makeRow
        = [panel](int y, const QString& caption, const QString& labelName, const QString& editName,
              const QString& upDownName, int lo, int hi, int start, QLineEdit*& edit, UpDown*& upDown) {
              auto* label = new QLabel(caption, panel);
              label->setObjectName(labelName);
              label->setGeometry(14, y, 128, 22);
              edit = new QLineEdit(QString::number(start), panel);
              edit->setObjectName(editName);
              // Read-only, so no caret: the arrows, or Up and Down while it has the keyboard, change it.
              edit->setReadOnly(true);
              edit->setFocusPolicy(Qt::StrongFocus);
              edit->setToolTip(QStringLiteral("Up and Down arrows change it"));
              edit->setAlignment(Qt::AlignCenter);
              edit->setGeometry(146, y, 30, 22);
              upDown = new UpDown(lo, hi, start, panel);
              upDown->setObjectName(upDownName);
              upDown->setGeometry(178, y, 18, 22);
              upDown->upButton()->setGeometry(0, 0, 18, 11);
              upDown->downButton()->setGeometry(0, 11, 18, 11);
              upDown->setAssociate(edit);
              label->setBuddy(edit);
          };
    makeRow(42, QStringLiteral("Number of Rounds:"), QStringLiteral("label_numrounds"),
        QStringLiteral("edit_numrounds"), QStringLiteral("UpDown1"), roundsMin, roundsMax, roundsDefault,
        editNumRounds, upDownRounds);
    makeRow(70, QStringLiteral("Time Per Round:"), QStringLiteral("label_timeperround"),
        QStringLiteral("edit_timeperround"), QStringLiteral("UpDown2"), minutesMin, minutesMax,
        minutesDefault, editTimePerRound, upDownMinutes);

    checkTeamGame = new QCheckBox(QStringLiteral("Team Game"), panel);
    checkTeamGame->setObjectName(QStringLiteral("checkbox_teamgame"));
    checkTeamGame->setGeometry(14, 99, 150, 20);
    checkTeamGame->setCursor(Qt::PointingHandCursor);
    // Left to the platform style (a style sheet would drop its tick box),
    // with colours that read on navy.
    windowstyle::checkBoxOnNavy(checkTeamGame);

    startButton = new PictureButton(QStringLiteral("Start"), panel);
    startButton->setObjectName(QStringLiteral("button_startthegame"));
    startButton->setGeometry(56, 126, 100, 30);
    connect(startButton, &QAbstractButton::clicked, this, &Tgamestartform::button_startClick);
}

QString Tgamestartform::roundsText() const { return editNumRounds->text(); }

QString Tgamestartform::minutesText() const { return editTimePerRound->text(); }

bool Tgamestartform::teamGame() const { return checkTeamGame->isChecked(); }

void Tgamestartform::setStoredValues(const QString& roundsText, const QString& minutesText)
{
    // Text that is no number leaves the up-down at its lower bound.
    upDownRounds->setPosition(roundsText.trimmed().toInt());
    editNumRounds->setText(roundsText);
    upDownMinutes->setPosition(minutesText.trimmed().toInt());
    editTimePerRound->setText(minutesText);
}

void Tgamestartform::button_startClick()
{
    emit startRequested();
    emit saveRequested();
    hide();
}

void Tgamestartform::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Opened from the menu or the Start picture, it takes the keyboard at once, on Start.
    activateWindow();
    startButton->setFocus(Qt::ActiveWindowFocusReason);
}

void Tgamestartform::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        button_startClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tgamestartform::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), pal::navy());
}
