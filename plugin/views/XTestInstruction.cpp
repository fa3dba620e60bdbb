#include "XTestInstruction.h"

#include <QLabel>
#include <QPixmap>
#include <algorithm>

#include "plugin/base/MBitmaps.h"
#include "plugin/base/MLanguage.h"
#include "plugin/dialogs/MSafeHandler.h"
#include "plugin/dialogs/MViewUtils.h"

namespace korotka {

namespace {

constexpr int32_t kBackgroundInsetTwips = 45;
// Room between the icon and the text.
constexpr int kSpacing = 8;

}  // namespace

XTestInstruction::XTestInstruction(QWidget* parent)
    : QWidget(parent),
      m_shpBackground(new QWidget(this)),
      m_imgIcon(new QLabel(m_shpBackground)),
      m_lblHelpTxt(new QLabel(m_shpBackground)) {
    m_shpBackground->setObjectName(QStringLiteral("shpBackground"));
    m_shpBackground->setAutoFillBackground(true);
    m_imgIcon->setObjectName(QStringLiteral("imgIcon"));
    m_lblHelpTxt->setObjectName(QStringLiteral("lblHelpTxt"));
    m_lblHelpTxt->setText(QStringLiteral("PLEASE START NIBP NOW"));
    m_lblHelpTxt->setFont(QFont(QStringLiteral("Verdana")));
    m_tmrFlash.setObjectName(QStringLiteral("tmrFlash"));
    connect(&m_tmrFlash, &QTimer::timeout, this,
            MSafeHandler::Guarded("a flash of the pop-up", [this] { Tick(); }));
    SetBackground(NormalBackground());
    MLanguage::TranslateCaptions(this);
    LayOut();
}

bool XTestInstruction::Flash() const { return m_tmrFlash.isActive(); }

void XTestInstruction::SetFlash(bool flash) {
    if (flash) {
        SetBackground(MViewUtils::ToColor(MViewUtils::kColourRed, palette()));
        m_tmrFlash.start(kFlashIntervalMs);
    } else {
        SetBackground(NormalBackground());
        m_tmrFlash.stop();
    }
}

void XTestInstruction::ShowMsg(const QString& icon, const QString& text) {
    MSafeHandler::Run("showing the pop-up's picture", [&] {
        // An unknown name keeps the picture shown.
        const QPixmap picture = MBitmaps::Bitmap(icon);
        if (!picture.isNull()) m_imgIcon->setPixmap(picture);
    });
    MSafeHandler::Run("showing the pop-up's text",
                      [&] { m_lblHelpTxt->setText(MLanguage::TranslatedOrPlain(text)); });
    LayOut();
}

QColor XTestInstruction::BackgroundColor() const {
    return m_shpBackground->palette().color(QPalette::Window);
}

void XTestInstruction::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void XTestInstruction::Tick() {
    const QColor red = MViewUtils::ToColor(MViewUtils::kColourRed, palette());
    SetBackground(BackgroundColor() != red ? red : NormalBackground());
}

void XTestInstruction::SetBackground(const QColor& colour) {
    QPalette shape = m_shpBackground->palette();
    shape.setColor(QPalette::Window, colour);
    m_shpBackground->setPalette(shape);
}

QColor XTestInstruction::NormalBackground() const {
    return MViewUtils::ToColor(MViewUtils::kColourWindowBackground, palette());
}

void XTestInstruction::LayOut() {
    const int inset = MViewUtils::ToPixels(kBackgroundInsetTwips);
    m_shpBackground->setGeometry(inset, inset, std::max(0, width() - 2 * inset),
                                 std::max(0, height() - 2 * inset));
    const int area = m_shpBackground->height();
    const QSize icon = m_imgIcon->sizeHint();
    m_imgIcon->setGeometry(kSpacing, (area - icon.height()) / 2, icon.width(), icon.height());
    const int textLeft = kSpacing + icon.width() + kSpacing;
    const int textHeight = m_lblHelpTxt->sizeHint().height();
    m_lblHelpTxt->setGeometry(textLeft, (area - textHeight) / 2,
                              std::max(0, m_shpBackground->width() - textLeft - kSpacing), textHeight);
}

}  // namespace korotka
