// SPDX-License-Identifier: GPL-3.0-or-later
#include "page_check.h"

#include "report/page_encoding.h"

#include <QRegularExpression>
#include <QStringList>

namespace PageCheck {

namespace {

const QStringList HeadLines = {
    u"<html>"_qs,
    u"<title>Tevrinic Quiz Result</title>"_qs,
    u"<body bgcolor=\"#000000\">"_qs,
    u"<table border=\"0\" width=\"100%\">"_qs,
    u"  <tr>"_qs,
    u"    <td width=\"550\" rowspan=\"3\">"_qs,
    u"      <img border=\"0\" src=\"logo.f\" ><font size=\"2\" color=\"#996633\"><b><br>&nbsp;email me :</font>"_qs,
};
const QStringList TableLines = {
    u"  <tr>"_qs,
    u"    <td width=\"33%\" bordercolor=\"#996633\" bgcolor=\"#996633\" >"_qs,
    u"    <b><font size=\"2\">Questions</font></b></td>"_qs,
    u"    <td width=\"33%\" bordercolor=\"#996633\" bgcolor=\"#996633\" align=\"center\" >"_qs,
    u"    <p><b><font size=\"2\">Correct Answer</font></b></td>"_qs,
    u"    <td width=\"33%\" bordercolor=\"#996633\" bgcolor=\"#996633\" align=\"center\" >   "
    "<b><font size=\"2\">Your Answer</font></b></td>"_qs,
    u"  </tr>"_qs,
};
const QString Closing = u"</table></body></html>"_qs;

// A whole-line pattern from literal text, each "@" standing for `group`.
QRegularExpression literalWith(const QString& literal, const QString& group)
{
    return QRegularExpression(u"^"_qs + QRegularExpression::escape(literal).replace(u"\\@"_qs, group) + u"$"_qs);
}

const QRegularExpression EmailLine = literalWith(
    u"      <font size=\"2\"><a href=\"mailto:@\"><font color=\"#996633\">@</font></a></font>"_qs, u"([^\"<>]+)"_qs);
const QRegularExpression WebLinkLine(u"^      <font size=\"2\" color=\"#996633\"><br>&nbsp;do visit : </font>"
                                     "<font size=\"2\" color=\"#C0C0C0\"><a href=\"[a-z]+://([^\"<>]+)\">$"_qs);
const QRegularExpression WebShownLine(u"^      <font color=\"#996633\">([^\"<>]+)</font></a></font></b>$"_qs);
const QRegularExpression TotalsLine = literalWith(
    u"<td nowrap><font size=2 color=#99CC00 face=\"Times New Roman\">Total Correct Answer</font></td>"
    "<td nowrap><font color=#99CC00 size=2 face=\"Times New Roman\">:@ </font></td></tr>"
    "<tr><td nowrap><font size=2 color=#CC3300 face=\"Times New Roman\">Total Incorrect Answer</font></td>"
    "<td nowrap><font color=#CC3300 size=2 face=\"Times New Roman\">:@</font> </td></tr>"
    "<tr><td nowrap> <font size=2 color=#FF9966 face=\"Times New Roman\">Total Taken Questions</font></td>"
    "<td nowrap><font color=#FF9966 size=2 face=\"Times New Roman\">:@</font></td></tr></table><hr color=#996633>"
    "<table border=\"1\" width=\"100%\" bordercolor=\"#996633\" bordercolorlight=\"#996633\" "
    "bordercolordark=\"#996633\" style=\"border-collapse: collapse\" cellpadding=\"0\" cellspacing=\"0\">"_qs,
    u"(0|[1-9][0-9]*)"_qs);

// A row of three cells without markup, all plain (a right answer) or all bold (a wrong one).
QRegularExpression rowPattern(const QString& open, const QString& close)
{
    const QString cell = u"<font size=2 color=#999966>%1([^<>]*)%2</font></td>"_qs.arg(open, close);
    return QRegularExpression(u"<tr><td width=50%>"_qs + cell + u"<td width=25% nowrap>"_qs + cell +
                              u"<td width=25% nowrap>"_qs + cell + u"</tr>"_qs);
}
const QRegularExpression RightRow = rowPattern({}, {});
const QRegularExpression WrongRow = rowPattern(u"<b>"_qs, u"</b>"_qs);

bool fail(QString& error, const QString& what)
{
    error = what;
    return false;
}

} // namespace

bool parse(const QByteArray& bytes, Page& page, QString& error)
{
    page = Page{};
    // Latin-1 keeps every byte as one character, so the cells can be handed back byte for byte.
    const QString text = QString::fromLatin1(bytes);
    if (!text.endsWith(u"\r\n"_qs))
        return fail(error, u"the page does not end with CR LF"_qs);
    QStringList lines = text.split(u"\r\n"_qs);
    lines.removeLast(); // after the final CR LF
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].contains(u'\r') || lines[i].contains(u'\n'))
            return fail(error, u"line %1 holds a CR or LF that is not part of a CR LF"_qs.arg(i + 1));
    const qsizetype expectedLines = HeadLines.size() + 4 + 1 + TableLines.size() + 1;
    if (lines.size() != expectedLines)
        return fail(error, u"%1 lines instead of %2"_qs.arg(lines.size()).arg(expectedLines));

    qsizetype n = 0;
    for (const QString& expected : HeadLines)
        if (lines[n++] != expected)
            return fail(error, u"head line %1 reads \"%2\""_qs.arg(n).arg(lines[n - 1]));
    const auto email = EmailLine.match(lines[n++]);
    if (!email.hasMatch() || email.captured(1) != email.captured(2))
        return fail(error, u"the e-mail line is malformed"_qs);
    const auto webLink = WebLinkLine.match(lines[n++]);
    const auto webShown = WebShownLine.match(lines[n++]);
    if (!webLink.hasMatch() || !webShown.hasMatch() || webLink.captured(1) != webShown.captured(1))
        return fail(error, u"the web address lines are malformed"_qs);
    if (lines[n++] != u"    </td>"_qs)
        return fail(error, u"the head does not end with its cell close"_qs);
    const auto totals = TotalsLine.match(lines[n++]);
    if (!totals.hasMatch())
        return fail(error, u"the totals line is malformed: \"%1\""_qs.arg(lines[n - 1].left(400)));
    page.rightCount = totals.captured(1).toInt();
    page.wrongCount = totals.captured(2).toInt();
    page.totalQuestions = totals.captured(3).toInt();
    for (const QString& expected : TableLines)
        if (lines[n++] != expected)
            return fail(error, u"table head line %1 reads \"%2\""_qs.arg(n).arg(lines[n - 1]));

    const QString& last = lines[n];
    qsizetype at = 0;
    while (QStringView(last).mid(at) != Closing) {
        QRegularExpressionMatch row;
        for (const QRegularExpression* form : {&RightRow, &WrongRow})
            if (!row.hasMatch())
                row = form->match(last, at, QRegularExpression::NormalMatch,
                                  QRegularExpression::AnchorAtOffsetMatchOption);
        if (!row.hasMatch())
            return fail(error, u"row %1 is malformed: \"%2\""_qs.arg(page.rows.size() + 1).arg(last.mid(at, 300)));
        page.rows.append({row.regularExpression() == WrongRow, row.captured(1).toLatin1(), row.captured(2).toLatin1(),
                          row.captured(3).toLatin1()});
        at = row.capturedEnd();
    }
    return true;
}

QByteArray cellBytes(const QString& text)
{
    QString escaped = text;
    escaped.replace(u'&', u"&amp;"_qs).replace(u'<', u"&lt;"_qs).replace(u'>', u"&gt;"_qs);
    return encodeWindows1252(escaped);
}

} // namespace PageCheck
