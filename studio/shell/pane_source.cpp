#include "studio/shell/pane_source.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "studio/controls/markup_label.h"
#include "studio/controls/prompt.h"
#include "studio/shell/command_ids.h"
#include "studio/shell/source_list_ctrl.h"
#include "studio/shell/string_table.h"

namespace qm::studio {
namespace {

constexpr const char* kGreyLabel = "<TextBlock><Run Foreground='Gray'>%s</Run></TextBlock>";

}  // namespace

CPaneSource::CPaneSource(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("paneSource"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("paneSourceStrip"));
    strip->setFixedHeight(kStripHeight);
    strip->setAutoFillBackground(true);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::Window, QColor(67, 67, 67));
    strip->setPalette(palette);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(6, 0, 6, 0);

    const controls::Prompt prompt = controls::parsePrompt(loadString(3078));
    showUnactive_ = new QCheckBox(strip);
    showUnactive_->setObjectName(QStringLiteral("command%1").arg(ids::kShowUnactive));
    showUnactive_->setToolTip(controls::promptToolTip(prompt));
    row->addWidget(showUnactive_);
    auto* label = new controls::MarkupLabel(strip);
    label->setMarkup(controls::fillMarkup(QString::fromLatin1(kGreyLabel), loadString(3080)));
    row->addWidget(label, 1);
    column->addWidget(strip);

    list_ = new CSourceListCtrl(this);
    column->addWidget(list_, 1);

    connect(showUnactive_, &QCheckBox::clicked, this, &CPaneSource::showUnactiveToggled);
}

void CPaneSource::setShowUnactive(bool on) {
    showUnactive_->setChecked(on);
}

}  // namespace qm::studio
