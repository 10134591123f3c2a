#pragma once

#include <QLabel>
#include <QString>

namespace qm::studio::controls {

// The small markup language of the studio's labels, for example
// "<TextBlock><Run Foreground='Gray'>text</Run></TextBlock>": TextBlock, Run, Span, Bold, Italic,
// Underline and LineBreak elements; Foreground (a colour name or #RRGGBB / #AARRGGBB),
// FontWeight ("Bold"), FontStyle ("Italic") and FontSize attributes. Turned into Qt rich text.
// Text that isn't well-formed markup is shown as plain text.
QString markupToRichText(const QString& markup);

// Puts `text` in place of the "%s" of a markup template, escaped so that it is shown as it is.
QString fillMarkup(const QString& markupTemplate, const QString& text);

// A label drawn from markup over its parent's background.
class MarkupLabel : public QLabel {
    Q_OBJECT

  public:
    explicit MarkupLabel(QWidget* parent = nullptr);

    void setMarkup(const QString& markup);
    const QString& markup() const { return markup_; }

  private:
    QString markup_;
};

}  // namespace qm::studio::controls
