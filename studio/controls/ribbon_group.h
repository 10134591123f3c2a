#pragma once

#include <QFrame>
#include <QIcon>
#include <QSize>
#include <QString>

#include "studio/controls/prompt.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QToolButton;

namespace qm::studio::controls {

class RibbonBar;

// One group of a ribbon tab: its controls laid out in columns of up to three rows (a large
// control takes a whole column) over the group's caption. Every control carries a command id;
// the group hands it to the ribbon bar, which routes its commands and its update state.
class RibbonGroup : public QFrame {
    Q_OBJECT

  public:
    enum class Size { Large, Small };

    RibbonGroup(RibbonBar& bar, int id, const QString& caption, QWidget* parent);

    int id() const { return id_; }
    QString caption() const;

    // A push button. Its check mark, when it has one, follows the update handler only.
    QToolButton* addButton(int id, const QString& caption, const Prompt& prompt,
                           Size size = Size::Large, const QIcon& icon = {});
    // A check box whose check mark follows the update handler only.
    QCheckBox* addCheckBox(int id, const QString& caption, const Prompt& prompt = {});
    // A drop-down list; fill it with addItem(text, integer item data).
    QComboBox* addComboBox(int id, int width, const Prompt& prompt = {});
    QLabel* addLabel(int id, const QString& caption);
    // Any widget, at a fixed size, in a column of its own.
    void addCustomControl(int id, QWidget* widget, QSize size);

  private:
    void place(QWidget* widget, Size size);

    RibbonBar& bar_;
    const int id_;
    QGridLayout* grid_ = nullptr;
    QLabel* captionLabel_ = nullptr;
    int column_ = 0;
    int row_ = 0;
};

}  // namespace qm::studio::controls
