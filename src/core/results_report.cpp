// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/results_report.h"

#include "core/build_config.h"
#include "core/page_encoding.h"

namespace {

// Quiz texts are shown as they stand; only what a browser would take for markup is written as an entity.
QString pageLiteral(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += u"&amp;";
            break;
        case u'<':
            out += u"&lt;";
            break;
        case u'>':
            out += u"&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// %1 the e-mail address, %2 the web address as a link, %3 the web address as shown.
constexpr QStringView HeadTemplate =
    u"<html>\r\n"
    u"<title>Tevrinic Quiz Result</title>\r\n"
    u"<body bgcolor=\"#000000\">\r\n"
    u"<table border=\"0\" width=\"100%\">\r\n"
    u"  <tr>\r\n"
    u"    <td width=\"550\" rowspan=\"3\">\r\n"
    u"      <img border=\"0\" src=\"logo.f\" ><font size=\"2\" color=\"#996633\"><b><br>&nbsp;email me :</font>\r\n"
    u"      <font size=\"2\"><a href=\"mailto:%1\"><font color=\"#996633\">%1</font></a></font>\r\n"
    u"      <font size=\"2\" color=\"#996633\"><br>&nbsp;do visit : </font><font size=\"2\" color=\"#C0C0C0\">"
    u"<a href=\"%2\">\r\n"
    u"      <font color=\"#996633\">%3</font></a></font></b>\r\n"
    u"    </td>\r\n";

constexpr QStringView TableHeadTemplate =
    u"<table border=\"1\" width=\"100%\" bordercolor=\"#996633\" bordercolorlight=\"#996633\" "
    u"bordercolordark=\"#996633\" style=\"border-collapse: collapse\" cellpadding=\"0\" cellspacing=\"0\">\r\n"
    u"  <tr>\r\n"
    u"    <td width=\"33%\" bordercolor=\"#996633\" bgcolor=\"#996633\" >\r\n"
    u"    <b><font size=\"2\">Questions</font></b></td>\r\n"
    u"    <td width=\"33%\" bordercolor=\"#996633\" bgcolor=\"#996633\" align=\"center\" >\r\n"
    u"    <p><b><font size=\"2\">Correct Answer</font></b></td>\r\n"
    u"    <td width=\"33%\" bordercolor=\"#996633\" bgcolor=\"#996633\" align=\"center\" >   "
    u"<b><font size=\"2\">Your Answer</font></b></td>\r\n"
    u"  </tr>\r\n";

// %1 the right count, %2 the wrong count, %3 the number of questions chosen.
constexpr QStringView TotalsTemplate =
    u"<td nowrap><font size=2 color=#99CC00 face=\"Times New Roman\">Total Correct Answer</font></td>"
    u"<td nowrap><font color=#99CC00 size=2 face=\"Times New Roman\">:%1 </font></td></tr>"
    u"<tr><td nowrap><font size=2 color=#CC3300 face=\"Times New Roman\">Total Incorrect Answer</font></td>"
    u"<td nowrap><font color=#CC3300 size=2 face=\"Times New Roman\">:%2</font> </td></tr>"
    u"<tr><td nowrap> <font size=2 color=#FF9966 face=\"Times New Roman\">Total Taken Questions</font></td>"
    u"<td nowrap><font color=#FF9966 size=2 face=\"Times New Roman\">:%3</font></td></tr></table><hr color=#996633>";

// A wrong answer's row is bold throughout.
constexpr QStringView RightRowTemplate = u"<tr><td width=50%><font size=2 color=#999966>%1</font></td>"
                                         u"<td width=25% nowrap><font size=2 color=#999966>%2</font></td>"
                                         u"<td width=25% nowrap><font size=2 color=#999966>%3</font></td></tr>";
constexpr QStringView WrongRowTemplate = u"<tr><td width=50%><font size=2 color=#999966><b>%1</b></font></td>"
                                         u"<td width=25% nowrap><font size=2 color=#999966><b>%2</b></font></td>"
                                         u"<td width=25% nowrap><font size=2 color=#999966><b>%3</b></font></td></tr>";

constexpr QStringView Closing = u"</table></body></html>";

QString withoutScheme(const std::string& web)
{
    const std::string_view shown = BuildConfig::WithoutScheme(web);
    return QString::fromUtf8(shown.data(), qsizetype(shown.size()));
}

} // namespace

ResultsReport::ResultsReport() : ResultsReport(BuildConfig::ContactEmail, BuildConfig::ContactWeb) {}

ResultsReport::ResultsReport(const QString& contactEmail, const QString& contactWeb)
    : m_head(HeadTemplate.arg(pageLiteral(contactEmail), pageLiteral(contactWeb),
                              pageLiteral(withoutScheme(contactWeb.toStdString())))),
      m_table(TableHeadTemplate.toString())
{}

void ResultsReport::AddAnswerRow(const QString& question, const QString& rightAnswer, const QString& chosenAnswer,
                                 bool isRight)
{
    m_table += (isRight ? RightRowTemplate : WrongRowTemplate)
                   .arg(pageLiteral(question), pageLiteral(rightAnswer), pageLiteral(chosenAnswer));
}

WriteOutcome ResultsReport::WriteResultsPage(const QString& rightCountCaption, const QString& wrongCountCaption,
                                             qint16 totQues, const QByteArray& logoGif, const ResultsStore& store)
{
    if (!m_totalsAdded) {
        m_head += TotalsTemplate.arg(pageLiteral(rightCountCaption), pageLiteral(wrongCountCaption),
                                     QString::number(totQues));
        m_table += Closing;
        m_totalsAdded = true;
    }
    return store.writeFiles(logoGif, pageBytes());
}

QString ResultsReport::pageText() const
{
    return m_head + m_table + QStringLiteral("\r\n");
}

QByteArray ResultsReport::pageBytes() const
{
    return encodePageText(pageText());
}
