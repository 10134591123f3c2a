#include "studio/profiles/profile_apply_dialog.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <system_error>

namespace qm::studio {
namespace {

constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kIconSize = 16;

QIcon drawnIcon(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    draw(painter);
    return QIcon(pixmap);
}

}  // namespace

const std::array<QIcon, kApplyImageCount>& applyImages() {
    static const std::array<QIcon, kApplyImageCount> images = [] {
        std::array<QIcon, kApplyImageCount> icons;
        icons[0] = drawnIcon([](QPainter& p) {  // success: a green tick
            p.setPen(QPen(QColor(0x4C, 0xC2, 0x5A), 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
        });
        icons[1] = drawnIcon([](QPainter& p) {  // error: a red cross
            p.setPen(QPen(QColor(0xE0, 0x4B, 0x4B), 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(4, 4), QPointF(12, 12));
            p.drawLine(QPointF(12, 4), QPointF(4, 12));
        });
        icons[2] = drawnIcon([](QPainter& p) {  // in progress, before the animation
            p.setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 2));
            p.drawEllipse(QRectF(3, 3, 10, 10));
        });
        for (std::size_t frame = 0; frame < 7; ++frame) {  // an arc turning in seven steps
            icons[3 + frame] = drawnIcon([angle = static_cast<int>(frame)](QPainter& p) {
                p.setPen(QPen(QColor(0x5A, 0x5A, 0x5A), 2));
                p.drawEllipse(QRectF(3, 3, 10, 10));
                p.setPen(QPen(QColor(0x8C, 0xB4, 0xE6), 2.5, Qt::SolidLine, Qt::RoundCap));
                p.drawArc(QRectF(3, 3, 10, 10), -angle * 16 * 360 / 7, 16 * 110);
            });
        }
        return icons;
    }();
    return images;
}

int nextAnimationImage(int image) {
    return image >= 3 && image <= 8 ? image + 1 : 3;
}

CProfileApply::CProfileApply(Start start, ApplyWorkerRetirement& retirement, QWidget* parent)
    : QDialog(parent), retirement_(retirement) {
    setWindowTitle(tr("Apply profile for selected device"));
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("6303"));
    name_->setReadOnly(true);
    description_ = new QLineEdit(this);
    description_->setObjectName(QStringLiteral("6304"));
    description_->setReadOnly(true);
    form->addRow(tr("Profile name:"), name_);
    form->addRow(tr("Profile description:"), description_);
    column->addLayout(form);
    column->addWidget(new QLabel(tr("Apply profile status:"), this));
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("6302"));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(false);
    tree_->setIconSize(QSize(kIconSize, kIconSize));
    tree_->setMinimumSize(420, 260);
    column->addWidget(tree_);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    column->addWidget(line);
    close_ = new QPushButton(tr("Close"), this);
    close_->setObjectName(QStringLiteral("5125"));
    close_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(close_);
    column->addLayout(buttons);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    animation_.setInterval(100);
    connect(&animation_, &QTimer::timeout, this, &CProfileApply::animate);
    begin(std::move(start));
}

CProfileApply::~CProfileApply() {
    animation_.stop();
    if (worker_ && !ended_)
        retirement_.adopt(std::move(worker_));  // stops it; nothing of this dialog is touched
}

void CProfileApply::begin(Start start) {
    if (start.serial.empty() || start.clock == nullptr) {
        ended_ = true;  // no microphone: nothing to apply
        return;
    }
    close_->setEnabled(false);
    name_->setText(QString::fromStdString(start.profile.name));
    description_->setText(QString::fromStdString(start.profile.description));
    // Entries are read on this thread when the posted index arrives; a dialog that is gone
    // gets nothing, as Qt drops events for a deleted receiver and detachView cuts the rest.
    log_->setListener(
        [this](profiles::ApplyLog::Change change, std::size_t index, const profiles::ApplyEntry&) {
            QMetaObject::invokeMethod(
                this,
                [this, change, index] {
                    change == profiles::ApplyLog::Change::Added ? entryAdded(index)
                                                                : entryChanged(index);
                },
                Qt::QueuedConnection);
        });
    animation_.start();
    worker_ =
        std::make_unique<ApplyWorker>(std::move(start.profile), std::move(start.serial),
                                      std::move(start.open), log_, *start.clock, start.policy);
    try {
        worker_->start([this](const profiles::ApplyOutcome&, bool) {
            QMetaObject::invokeMethod(
                this, [this] { ended(); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error& failure) {
        worker_.reset();
        log_->add(tr("The apply could not be started: %1")
                      .arg(QString::fromLocal8Bit(failure.what()))
                      .toStdString(),
                  profiles::EntryImage::Error);
        ended();
    }
}

void CProfileApply::entryAdded(std::size_t index) {
    const profiles::ApplyEntry entry = log_->entry(index);
    auto* item = new QTreeWidgetItem(tree_, QStringList(QString::fromStdString(entry.text)));
    showImage(item, static_cast<int>(entry.image));
    if (items_.size() <= index)
        items_.resize(index + 1, nullptr);
    items_[index] = item;
    tree_->scrollToItem(item);
}

void CProfileApply::entryChanged(std::size_t index) {
    if (index >= items_.size() || items_[index] == nullptr)
        return;
    const profiles::ApplyEntry entry = log_->entry(index);
    items_[index]->setText(0, QString::fromStdString(entry.text));
    showImage(items_[index], static_cast<int>(entry.image));
}

void CProfileApply::showImage(QTreeWidgetItem* item, int image) {
    item->setData(0, kImageRole, image);
    item->setIcon(0, applyImages()[static_cast<std::size_t>(image)]);
}

void CProfileApply::animate() {
    const auto current = log_->inProgress();
    if (!current || *current >= items_.size() || items_[*current] == nullptr)
        return;
    QTreeWidgetItem* item = items_[*current];
    showImage(item, nextAnimationImage(item->data(0, kImageRole).toInt()));
}

std::vector<int> CProfileApply::itemImages() const {
    std::vector<int> images;
    images.reserve(static_cast<std::size_t>(tree_->topLevelItemCount()));
    for (int i = 0; i < tree_->topLevelItemCount(); ++i)
        images.push_back(tree_->topLevelItem(i)->data(0, kImageRole).toInt());
    return images;
}

void CProfileApply::ended() {
    if (ended_ && !worker_)
        return;
    ended_ = true;
    animation_.stop();
    worker_.reset();  // its thread has ended or is ending: the join is short
    if (whenFinished_)
        whenFinished_();
    close_->setEnabled(true);
    if (closeWhenEnded_)
        accept();
}

void CProfileApply::reject() {
    // Escape does not close the dialog; Close does, and the window's close button (below).
}

void CProfileApply::closeEvent(QCloseEvent* event) {
    if (!running()) {
        event->accept();
        done(QDialog::Accepted);
        return;
    }
    event->ignore();
    closeWhenEnded_ = true;
    worker_->requestStop();
}

}  // namespace qm::studio
