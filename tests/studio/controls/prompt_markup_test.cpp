#include <gtest/gtest.h>

#include "studio/controls/markup_label.h"
#include "studio/controls/prompt.h"

namespace qm::studio::controls {
namespace {

TEST(PromptTest, SplitsAtTheFirstLineBreakOnlyAndTextWithoutOneIsBothParts) {
    const Prompt twoBreaks = parsePrompt(QStringLiteral("a\nb\nc"));
    EXPECT_EQ(twoBreaks.description, QStringLiteral("a"));
    EXPECT_EQ(twoBreaks.caption, QStringLiteral("b\nc"));
    const Prompt prompt = parsePrompt(QStringLiteral("Linear waveform scale"));
    EXPECT_EQ(prompt.description, prompt.caption);
    EXPECT_EQ(captionOf(QStringLiteral("Line")), QStringLiteral("Line"));
}

TEST(PromptTest, ToolTipShowsTitleOverEscapedDescription) {
    EXPECT_EQ(promptToolTip(parsePrompt(QStringLiteral("Show <b>\nLPF & HPF"))),
              QStringLiteral("<b>LPF &amp; HPF</b><br/>Show &lt;b&gt;"));
    EXPECT_EQ(promptToolTip(parsePrompt(QStringLiteral("Only one"))), QStringLiteral("Only one"));
    EXPECT_TRUE(promptToolTip(Prompt{}).isEmpty());
}

TEST(MarkupTest, RunsBoldItalicAndLineBreaksBecomeSpans) {
    const QString html = markupToRichText(
        QStringLiteral("<TextBlock FontWeight='Bold'>a<LineBreak/><Italic>b</Italic>"
                       "<Run Foreground='Gray'>c</Run>"
                       "<Run Foreground='#FF0000' FontSize='14'>d</Run></TextBlock>"));
    EXPECT_EQ(html,
              QStringLiteral("<span style=\"font-weight:bold;\">a<br/>"
                             "<span style=\"font-style:italic;\">b</span>"
                             "<span style=\"color:#808080;\">c</span>"
                             "<span style=\"color:#ff0000;font-size:14px;\">d</span></span>"));
}

TEST(MarkupTest, TextIsEscapedUnknownColoursDroppedAndMalformedMarkupShownAsText) {
    EXPECT_EQ(markupToRichText(QStringLiteral("<Run Foreground='NoSuchColour'>a &lt; b</Run>")),
              QStringLiteral("<span>a &lt; b</span>"));
    EXPECT_EQ(markupToRichText(QStringLiteral("<TextBlock><Run>open")),
              QStringLiteral("&lt;TextBlock&gt;&lt;Run&gt;open"));
}

TEST(MarkupTest, FilledTextCannotInjectMarkup) {
    const QString filled =
        fillMarkup(QStringLiteral("<TextBlock><Run Foreground='Gray'>%s</Run></TextBlock>"),
                   QStringLiteral("</Run><Run Foreground='Red'>x"));
    const QString html = markupToRichText(filled);
    EXPECT_FALSE(html.contains(QStringLiteral("#ff0000")));
    EXPECT_TRUE(html.contains(QStringLiteral("&lt;/Run&gt;&lt;Run Foreground='Red'&gt;x")));

    MarkupLabel label;
    label.setMarkup(filled);
    EXPECT_EQ(label.markup(), filled);
    EXPECT_EQ(label.text(), html);
}

}  // namespace
}  // namespace qm::studio::controls
