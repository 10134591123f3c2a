#include "studio/shell/child_view.h"

#include <QHBoxLayout>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "studio/shell/command_ids.h"

namespace qm::studio {
namespace {

QWidget* makePlace(QWidget* parent, const char* name) {
    auto* place = new QWidget(parent);
    place->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(place);
    layout->setContentsMargins(0, 0, 0, 0);
    place->setAutoFillBackground(true);
    QPalette palette = place->palette();
    palette.setColor(QPalette::Window, QColor(0x1E, 0x1E, 0x1E));
    place->setPalette(palette);
    return place;
}

}  // namespace

CChildView::CChildView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("childView%1").arg(ids::kClientView));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    mainSplitter_ = new QSplitter(Qt::Vertical, this);
    mainSplitter_->setObjectName(QStringLiteral("Main_V"));
    layout->addWidget(mainSplitter_);

    auto* monitoring = new QWidget(mainSplitter_);
    monitoring->setObjectName(QStringLiteral("monitoringPlace"));
    auto* row = new QHBoxLayout(monitoring);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    waveformSplitter_ = new QSplitter(Qt::Vertical, monitoring);
    waveformSplitter_->setObjectName(QStringLiteral("Waveform_V"));
    waveformPlace_ = makePlace(waveformSplitter_, "waveformPlace");
    spectrumPlace_ = makePlace(waveformSplitter_, "spectrumPlace");
    waveformSplitter_->addWidget(waveformPlace_);
    waveformSplitter_->addWidget(spectrumPlace_);
    row->addWidget(waveformSplitter_, 1);
    peakMeterPlace_ = makePlace(monitoring, "peakMeterPlace");
    peakMeterPlace_->setMinimumWidth(60);
    row->addWidget(peakMeterPlace_);
    mainSplitter_->addWidget(monitoring);

    panelHostPlace_ = makePlace(mainSplitter_, "panelHostPlace");
    mainSplitter_->addWidget(panelHostPlace_);
    mainSplitter_->setStretchFactor(0, 1);
    mainSplitter_->setStretchFactor(1, 1);
}

void CChildView::setWaveformShare(double share) {
    waveformShare_ = std::clamp(share, 0.0, 1.0);
    if (shown_) {
        applyWaveformShare();
    }
}

double CChildView::waveformShare() const {
    const QList<int> sizes = waveformSplitter_->sizes();
    const int total = sizes.size() == 2 ? sizes[0] + sizes[1] : 0;
    if (!shown_ || total <= 0) {
        return waveformShare_;
    }
    return static_cast<double>(sizes[0]) / total;
}

void CChildView::applyWaveformShare() {
    // Sizes are taken as weights: the splitter shares out whatever height it has in this ratio.
    constexpr int kWeight = 10000;
    const int first = static_cast<int>(std::lround(kWeight * waveformShare_));
    waveformSplitter_->setSizes({first, kWeight - first});
}

void CChildView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) {
        return;  // shown again (a window flag changed): keep what the user made of it
    }
    // The places are empty until their views arrive, so they have no size of their own: the
    // monitoring views and the panel host start with half the height each.
    shown_ = true;
    // Equal weights well above any minimum height: a size below a widget's minimum counts as
    // that minimum, so {1, 1} would share in the ratio of the minimums (4 : 97 pixels).
    constexpr int kHalf = 10000;
    mainSplitter_->setSizes({kHalf, kHalf});
    applyWaveformShare();
}

}  // namespace qm::studio
