#pragma once

#include <QWidget>
#include <map>

class QButtonGroup;
class QStackedWidget;
class QToolButton;
class QVBoxLayout;

namespace qm::studio::controls {

// The page stack opened from the ribbon's system button: a column of page tabs and commands on
// the left, the chosen page on the right. It covers its parent window while shown; the back
// button or Escape closes it.
class BackstageView : public QWidget {
    Q_OBJECT

  public:
    explicit BackstageView(QWidget* parent);

    // A page shown when its tab is chosen. The default page is the one shown on opening.
    void addPage(int id, const QString& caption, QWidget* page, bool isDefault = false);
    // A command button: it closes the view and sends its id.
    void addCommand(int id, const QString& caption);

    void showView();
    void hideView();
    bool isOpen() const { return isVisible(); }

    int currentPage() const;
    void setCurrentPage(int id);
    QWidget* page(int id) const;
    QToolButton* tabButton(int id) const;

  signals:
    void commandTriggered(int id);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fitParent();

    QVBoxLayout* buttons_ = nullptr;
    QButtonGroup* tabGroup_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    std::map<int, QWidget*> pages_;
    std::map<int, QToolButton*> tabButtons_;
    int defaultPage_ = -1;
};

}  // namespace qm::studio::controls
