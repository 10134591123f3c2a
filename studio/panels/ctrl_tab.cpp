#include "studio/panels/ctrl_tab.h"

#include <QCoreApplication>
#include <QLabel>
#include <QSignalBlocker>

#include "studio/controls/dark_style.h"
#include "studio/controls/image_button.h"
#include "studio/controls/media_slider.h"

namespace qm::studio::panels {
namespace {

QString idName(int id) {
    return QStringLiteral("id%1").arg(id);
}

}  // namespace

QString panelText(const char* english) {
    return QCoreApplication::translate("Panels", english);
}

CCtrlTab::CCtrlTab(PanelLink& link, PanelTab tab, QWidget* parent)
    : QWidget(parent), link_(link), tab_(tab), body_(new QWidget(this)) {
    const TabInfo& info = tabInfo(tab);
    body_->setGeometry(0, 0, info.contentWidth, info.contentHeight);
    body_->hide();
}

void CCtrlTab::showControls(bool enabled) {
    body_->setVisible(enabled);
}

bool CCtrlTab::controlsShown() const {
    return !body_->isHidden();
}

void CCtrlTab::send(const SettingCalls& calls, PanelLink::Sending sending) {
    link_.send(calls, sending);
    emit bytesChanged();
}

QLabel* CCtrlTab::caption(const char* english, int x, int y, int width) {
    auto* label = new QLabel(panelText(english), body_);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, controls::darkColors().dimText);
    label->setPalette(palette);
    label->setGeometry(x, y, width, 18);
    return label;
}

QLabel* CCtrlTab::valueLabel(int x, int y, int width) {
    auto* label = new QLabel(body_);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, controls::darkColors().text);
    label->setPalette(palette);
    label->setGeometry(x, y, width, 18);
    return label;
}

controls::ImageButton* CCtrlTab::switchButton(int id, const QString& text, const QString& tip,
                                              int x, int y) {
    auto* button = new controls::ImageButton(controls::ImageButton::Kind::Switch, text, body_);
    button->setObjectName(idName(id));
    button->setToolTip(tip);
    button->setGeometry(QRect(QPoint(x, y), button->sizeHint()));
    return button;
}

controls::ImageButton* CCtrlTab::optionButton(int id, const QString& text, const QString& tip,
                                              int x, int y, int width) {
    auto* button = new controls::ImageButton(controls::ImageButton::Kind::Option, text, body_);
    button->setObjectName(idName(id));
    button->setToolTip(tip);
    button->setGeometry(x, y, width, 20);
    return button;
}

controls::ImageButton* CCtrlTab::pushButton(int id, const QString& text, const QString& tip,
                                            int x, int y, int width) {
    auto* button = new controls::ImageButton(controls::ImageButton::Kind::Push, text, body_);
    button->setObjectName(idName(id));
    button->setToolTip(tip);
    button->setGeometry(x, y, width, 24);
    return button;
}

controls::MediaSlider* CCtrlTab::slider(int id, Qt::Orientation orientation, int minimum,
                                        int maximum, QRect geometry) {
    auto* slider = new controls::MediaSlider(body_);
    slider->setObjectName(idName(id));
    slider->setOrientation(orientation);
    slider->setRange(minimum, maximum);
    slider->setGeometry(geometry);
    return slider;
}

CBaseCtrlTab::CBaseCtrlTab(CCtrlTab* inner, QWidget* parent)
    : controls::ScrollingPanel(inner,
                               QSize(tabInfo(inner->tab()).contentWidth,
                                     tabInfo(inner->tab()).contentHeight),
                               parent),
      inner_(inner) {}

void setChecked(controls::ImageButton* button, bool checked) {
    const QSignalBlocker blocker(button);
    button->setChecked(checked);
}

void setSliderQuietly(controls::MediaSlider* slider, int position) {
    const QSignalBlocker blocker(slider);
    slider->setValue(position);
}

}  // namespace qm::studio::panels
