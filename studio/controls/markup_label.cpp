#include "studio/controls/markup_label.h"

#include <QColor>
#include <QXmlStreamReader>

namespace qm::studio::controls {
namespace {

QString styleOf(const QXmlStreamAttributes& attributes) {
    QString style;
    for (const QXmlStreamAttribute& attribute : attributes) {
        const QString name = attribute.name().toString();
        const QString value = attribute.value().toString().trimmed();
        if (name == QLatin1String("Foreground")) {
            const QColor color = QColor::fromString(value);
            if (color.isValid()) {
                style += QStringLiteral("color:%1;").arg(color.name(QColor::HexRgb));
            }
        } else if (name == QLatin1String("FontWeight")) {
            if (value.compare(QLatin1String("Bold"), Qt::CaseInsensitive) == 0) {
                style += QStringLiteral("font-weight:bold;");
            }
        } else if (name == QLatin1String("FontStyle")) {
            if (value.compare(QLatin1String("Italic"), Qt::CaseInsensitive) == 0) {
                style += QStringLiteral("font-style:italic;");
            }
        } else if (name == QLatin1String("FontSize")) {
            bool ok = false;
            const double size = value.toDouble(&ok);
            if (ok && size > 0) {
                style += QStringLiteral("font-size:%1px;").arg(size);
            }
        }
    }
    return style;
}

QString openTag(QStringView element, const QString& style) {
    QString extra;
    if (element == QLatin1String("Bold")) {
        extra = QStringLiteral("font-weight:bold;");
    } else if (element == QLatin1String("Italic")) {
        extra = QStringLiteral("font-style:italic;");
    } else if (element == QLatin1String("Underline")) {
        extra = QStringLiteral("text-decoration:underline;");
    }
    const QString all = extra + style;
    return all.isEmpty() ? QStringLiteral("<span>")
                         : QStringLiteral("<span style=\"%1\">").arg(all);
}

}  // namespace

QString markupToRichText(const QString& markup) {
    QXmlStreamReader reader(markup);
    QString html;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                if (reader.name() == QLatin1String("LineBreak")) {
                    html += QStringLiteral("<br/>");
                } else {
                    html += openTag(reader.name(), styleOf(reader.attributes()));
                }
                break;
            case QXmlStreamReader::EndElement:
                if (reader.name() != QLatin1String("LineBreak")) {
                    html += QStringLiteral("</span>");
                }
                break;
            case QXmlStreamReader::Characters:
                html += reader.text().toString().toHtmlEscaped();
                break;
            default:
                break;
        }
    }
    if (reader.hasError()) {
        return markup.toHtmlEscaped();
    }
    return html;
}

QString fillMarkup(const QString& markupTemplate, const QString& text) {
    QString escaped = text.toHtmlEscaped();
    QString filled = markupTemplate;
    const qsizetype at = filled.indexOf(QLatin1String("%s"));
    if (at >= 0) {
        filled.replace(at, 2, escaped);
    }
    return filled;
}

MarkupLabel::MarkupLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::RichText);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
}

void MarkupLabel::setMarkup(const QString& markup) {
    markup_ = markup;
    setText(markupToRichText(markup));
}

}  // namespace qm::studio::controls
