#pragma once

#include <QListWidget>
#include <string>
#include <vector>

#include "common/profiles/profile.h"

namespace qm::studio {

// The list of the profile pane: one owner-drawn row per profile file, each owning the record
// read from its file (rows of files that could not be read show empty texts but keep their
// path). Full-row selection, one row at a time; tooltips give a row's name over its upper half
// and its description over its lower half.
class CProfileListCtrl : public QListWidget {
    Q_OBJECT

  public:
    explicit CProfileListCtrl(QWidget* parent = nullptr);

    // A row per path, in order, each with the record loaded from its file.
    void fill(const std::vector<std::string>& paths);
    void addProfile(const profiles::CProfile& profile);
    // Deletes every row and its record.
    void removeAllRows();

    int rowCount() const { return count(); }
    // The record of a row; null outside the list.
    const profiles::CProfile* profileAt(int row) const;
    profiles::CProfile* profileAt(int row);
    // The selected row and its record; -1 and null when none.
    int selectedRow() const;
    const profiles::CProfile* selectedProfile() const;
    void removeRow(int row);
    // Repaints the row (after its record changed).
    void redrawRow(int row);

  signals:
    void rowDoubleClicked(int row);
    void contextMenuRequested(const QPoint& globalPosition);
    void selectedRowChanged(int row);

  protected:
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    class Row;
    class Delegate;
};

}  // namespace qm::studio
