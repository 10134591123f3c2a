#pragma once

#include <QString>
#include <QWidget>

#include "common/settings/device_settings.h"
#include "studio/controls/scrolling_panel.h"
#include "studio/panels/panel_link.h"
#include "studio/panels/panel_reading.h"
#include "studio/panels/panel_tabs.h"

class QLabel;

namespace qm::studio::controls {
class ImageButton;
class MediaSlider;
}  // namespace qm::studio::controls

namespace qm::studio::panels {

// A panel's text in the user interface language (context "Panels"; the English text is the
// source).
QString panelText(const char* english);

// The inner control window of a panel: the controls of one processing block, laid out on the
// panel's fixed content size, and a copy of the setting bytes they show. A user action edits
// the copy, updates the controls and sends the edited bytes through the link; a read replaces
// the copy.
class CCtrlTab : public QWidget {
    Q_OBJECT

  public:
    CCtrlTab(PanelLink& link, PanelTab tab, QWidget* parent = nullptr);

    PanelTab tab() const { return tab_; }

    // Every control shown (enabled) or hidden; the window itself stays.
    virtual void showControls(bool enabled);
    bool controlsShown() const;
    // The copy taken from a reading and every control set from it.
    virtual void read(const PanelReading& reading) = 0;
    // The bytes of the copy written into `bytes` (other settings untouched).
    virtual void collect(settings::DeviceSettings& bytes) const = 0;

  signals:
    // The user changed a byte of the copy (and its calls went out).
    void bytesChanged();

  protected:
    // The parent of every control: hiding it hides them all.
    QWidget* body() const { return body_; }
    PanelLink& link() const { return link_; }
    void send(const SettingCalls& calls, PanelLink::Sending sending = PanelLink::Sending::Each);

    // Controls on the body, named by id where the panel gives one ("id6013").
    QLabel* caption(const char* english, int x, int y, int width = 200);
    QLabel* valueLabel(int x, int y, int width = 90);
    controls::ImageButton* switchButton(int id, const QString& caption, const QString& tip,
                                        int x, int y);
    controls::ImageButton* optionButton(int id, const QString& caption, const QString& tip,
                                        int x, int y, int width);
    controls::ImageButton* pushButton(int id, const QString& caption, const QString& tip, int x,
                                      int y, int width = 90);
    controls::MediaSlider* slider(int id, Qt::Orientation orientation, int minimum, int maximum,
                                  QRect geometry);

  private:
    PanelLink& link_;
    PanelTab tab_;
    QWidget* body_;
};

// A panel's outer window: scrolls its inner window when the tab is smaller than it.
class CBaseCtrlTab : public controls::ScrollingPanel {
    Q_OBJECT

  public:
    explicit CBaseCtrlTab(CCtrlTab* inner, QWidget* parent = nullptr);
    CCtrlTab* inner() const { return inner_; }

  private:
    CCtrlTab* inner_;
};

// The outer window of one kind of panel, making its inner window.
template <typename Inner>
class CBaseCtrlTabOf : public CBaseCtrlTab {
  public:
    explicit CBaseCtrlTabOf(PanelLink& link, QWidget* parent = nullptr)
        : CBaseCtrlTab(new Inner(link), parent) {}
    Inner* panel() const { return static_cast<Inner*>(inner()); }
};

// Sets a button's check state without a signal of its own (the panel's copy decides it).
void setChecked(controls::ImageButton* button, bool checked);
// Moves a slider without reporting it as the user's move.
void setSliderQuietly(controls::MediaSlider* slider, int position);

}  // namespace qm::studio::panels
