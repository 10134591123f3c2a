#pragma once

#include <QWidget>

namespace qm::studio {

// "About": the studio's name and product version, and what it is for.
class CBackstagePageAbout : public QWidget {
    Q_OBJECT

  public:
    // `version`: the product version as the program carries it ("1.4.194").
    explicit CBackstagePageAbout(const QString& version, QWidget* parent = nullptr);
};

}  // namespace qm::studio
