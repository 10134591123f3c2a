#include "studio/shell/wait_dialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "studio/shell/command_ids.h"

namespace qm::studio {

CWaitDialog::CWaitDialog(const QString& text, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("waitDialog"));
    setWindowTitle(QString());
    setModal(false);
    auto* column = new QVBoxLayout(this);
    text_ = new QLabel(text.isEmpty() ? QString::fromLatin1(kDefaultText) : text, this);
    text_->setObjectName(QStringLiteral("control%1").arg(ids::kWaitText));
    column->addWidget(text_);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("control%1").arg(ids::kWaitProgress));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    column->addWidget(progress_);
    setMinimumWidth(320);
}

CWaitDialog::~CWaitDialog() {
    if (QWidget* owner = parentWidget()) {
        owner->setEnabled(true);
    }
}

void CWaitDialog::setProgress(int position) {
    progress_->setValue(position);
}

int CWaitDialog::progress() const {
    return progress_->value();
}

QString CWaitDialog::text() const {
    return text_->text();
}

}  // namespace qm::studio
