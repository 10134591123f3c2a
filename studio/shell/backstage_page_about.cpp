#include "studio/shell/backstage_page_about.h"

#include <QLabel>

#include "studio/shell/backstage_page_parts.h"
#include "studio/shell/string_table.h"

namespace qm::studio {

CBackstagePageAbout::CBackstagePageAbout(const QString& version, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("backstagePage172"));
    QVBoxLayout* column = backstageColumn(this, loadString(3010));
    auto* name = new QLabel(loadString(3006), this);
    name->setObjectName(QStringLiteral("aboutProduct"));
    column->addWidget(name);
    auto* number = new QLabel(QStringLiteral("%1: %2").arg(loadString(3015), version), this);
    number->setObjectName(QStringLiteral("aboutVersion"));
    number->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(number);
    column->addWidget(
        new QLabel(tr("The studio of the QUILLMERE microphones: their settings, their sound, their "
                      "profiles, and the microphone service."),
                   this));
    column->addStretch(1);
}

}  // namespace qm::studio
