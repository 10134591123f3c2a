#include "studio/controls/status_bar.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include "studio/controls/keyboard_locks.h"

namespace qm::studio::controls {
namespace {

constexpr int kIndicatorIntervalMs = 500;
constexpr int kProgressPadding = 2;

}  // namespace

FrameStatusBar::FrameStatusBar(std::unique_ptr<KeyboardLocks> locks, QWidget* parent)
    : QStatusBar(parent), locks_(std::move(locks)) {
    setObjectName(QStringLiteral("statusBar"));
    setSizeGripEnabled(true);

    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("messagePane"));
    addWidget(message_, 1);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progressPane"));
    progress_->setFixedWidth(kProgressWidth);
    progress_->setContentsMargins(kProgressPadding, kProgressPadding, kProgressPadding,
                                  kProgressPadding);
    progress_->setTextVisible(false);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setVisible(false);
    addPermanentWidget(progress_);

    version_ = new QLabel(this);
    version_->setObjectName(QStringLiteral("versionPane"));
    version_->setAlignment(Qt::AlignCenter);
    addPermanentWidget(version_);

    const char* names[] = {"indicatorCaps", "indicatorNum", "indicatorScroll"};
    for (int i = 0; i < 3; ++i) {
        indicators_[i] = new QLabel(this);
        indicators_[i]->setObjectName(QString::fromLatin1(names[i]));
        indicators_[i]->setAlignment(Qt::AlignCenter);
        addPermanentWidget(indicators_[i]);
    }
    setIndicatorTexts(QStringLiteral("CAP"), QStringLiteral("NUM"), QStringLiteral("SCRL"));
    refreshIndicators();

    indicatorTimer_ = new QTimer(this);
    indicatorTimer_->setInterval(kIndicatorIntervalMs);
    connect(indicatorTimer_, &QTimer::timeout, this, &FrameStatusBar::refreshIndicators);
    indicatorTimer_->start();
}

FrameStatusBar::~FrameStatusBar() = default;

void FrameStatusBar::setMessage(const QString& text) {
    message_->setText(text);
}

QString FrameStatusBar::message() const {
    return message_->text();
}

void FrameStatusBar::showProgress(bool visible) {
    progress_->setValue(progress_->minimum());
    progress_->setVisible(visible);
}

bool FrameStatusBar::progressVisible() const {
    return !progress_->isHidden();
}

void FrameStatusBar::setProgressRange(int maximum) {
    progress_->setRange(0, maximum);
}

void FrameStatusBar::setProgressPosition(int position) {
    progress_->setValue(position);
}

void FrameStatusBar::setVersionText(const QString& text, const QString& toolTip) {
    version_->setText(text);
    version_->setToolTip(toolTip);
    version_->setMinimumWidth(version_->fontMetrics().horizontalAdvance(text) + 8);
}

void FrameStatusBar::setIndicatorTexts(const QString& caps, const QString& num,
                                       const QString& scroll) {
    const QString texts[] = {caps, num, scroll};
    for (int i = 0; i < 3; ++i) {
        indicators_[i]->setText(texts[i]);
        indicators_[i]->setMinimumWidth(indicators_[i]->fontMetrics().horizontalAdvance(texts[i]) +
                                        8);
    }
}

void FrameStatusBar::refreshIndicators() {
    const LockStates states = locks_ ? locks_->read() : LockStates{};
    indicators_[0]->setEnabled(states.capsLock);
    indicators_[1]->setEnabled(states.numLock);
    indicators_[2]->setEnabled(states.scrollLock);
}

QLabel* FrameStatusBar::indicator(int index) const {
    return index >= 0 && index < 3 ? indicators_[index] : nullptr;
}

}  // namespace qm::studio::controls
