#pragma once

#include <QFont>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace qm::studio {

// A backstage page's column: its heading in large type, then the page's controls from the top.
inline QVBoxLayout* backstageColumn(QWidget* page, const QString& heading) {
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(24, 16, 24, 16);
    column->setSpacing(8);
    auto* title = new QLabel(heading, page);
    title->setObjectName(QStringLiteral("backstageHeading"));
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    title->setFont(font);
    column->addWidget(title);
    return column;
}

}  // namespace qm::studio
