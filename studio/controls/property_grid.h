#pragma once

#include <QWidget>
#include <cstdint>
#include <map>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace qm::studio::controls {

// A property grid: items in named categories, each a caption with an editable value (a colour
// chosen from a colour dialog, or a whole number with spin buttons within limits), and a help
// pane below that describes the current item. Every change the user makes is reported at once.
class PropertyGrid : public QWidget {
    Q_OBJECT

  public:
    explicit PropertyGrid(QWidget* parent = nullptr);

    // Later items go into this category.
    void addCategory(const QString& caption);
    // Colours are 0x00BBGGRR values.
    void addColorItem(int id, const QString& caption, std::uint32_t color);
    void addNumberItem(int id, const QString& caption, int value, int minimum, int maximum);
    void expandAll();
    // The colours the colour dialog offers as custom colours, in order.
    static void setCustomColors(std::initializer_list<std::uint32_t> colors);

    bool hasItem(int id) const { return items_.count(id) != 0; }
    std::uint32_t colorValue(int id) const;
    int numberValue(int id) const;
    QString caption(int id) const;
    // Set a value as the user would: the item shows it and valueChanged follows when it differs.
    void setColorValue(int id, std::uint32_t color);
    void setNumberValue(int id, int value);
    // The help pane's text for the current item.
    QString helpText() const;
    void selectItem(int id);
    QTreeWidget* tree() const { return tree_; }

  signals:
    void valueChanged(int id);

  private:
    struct Item {
        QTreeWidgetItem* row = nullptr;
        bool isColor = true;
        std::uint32_t color = 0;
        int number = 0;
        int minimum = 0;
        int maximum = 0;
    };

    void showColor(Item& item);
    void chooseColor(int id);
    void showHelp();

    QTreeWidget* tree_ = nullptr;
    QLabel* help_ = nullptr;
    QTreeWidgetItem* category_ = nullptr;
    std::map<int, Item> items_;
};

}  // namespace qm::studio::controls
