# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a written results page and holds it against the question bank and what the player did."""

import re

from desktop import check

ROW_START = "<tr><td width=50%><font size=2 color=#999966>"
CELL = re.compile(r"<font size=2 color=#999966>(<b>)?(.*?)(?:</b>)?</font></td>")


def load_bank(path):
    """question text -> (four answers, index of the right one)"""
    bank = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            fields = line.rstrip("\n").split("\t")
            check(len(fields) == 6 and fields[0] not in bank, f"bank line {number} is malformed or repeated")
            bank[fields[0]] = (fields[1:5], int(fields[5]) - 1)
    return bank


class Page:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.raw = f.read()
        check(self.raw.endswith(b"</table></body></html>\r\n"), "the page does not end with its closing and CR LF")
        self.text = self.raw.decode("cp1252")  # written in Windows-1252, declaring no character set
        self.right = self._total("Total Correct Answer", r":(\d+) </font></td></tr>")
        self.wrong = self._total("Total Incorrect Answer", r":(\d+)</font> </td></tr>")
        self.taken = self._total("Total Taken Questions", r":(\d+)</font></td></tr></table><hr color=#996633>")
        self.rows = []
        for chunk in self.text.split(ROW_START)[1:]:
            cells = CELL.findall(ROW_START[len("<tr><td width=50%>"):] + chunk)
            check(len(cells) == 3 and len({c[0] for c in cells}) == 1, f"a malformed row: {chunk[:200]!r}")
            self.rows.append({"question": cells[0][1], "right": cells[1][1], "chosen": cells[2][1],
                              "bold": cells[0][0] == "<b>"})

    def _total(self, label, value_pattern):
        matches = re.findall(re.escape(label) + r"</font></td><td nowrap><font color=#[0-9A-F]{6} size=2 "
                             r'face="Times New Roman">' + value_pattern, self.text)
        check(len(matches) == 1, f"the page shows {label!r} {len(matches)} times")
        return int(matches[0])


def check_page(page, bank, answers, total):
    """answers: one (chosen index, right index seen on screen) per answered question, in order."""
    right = sum(1 for chosen, shown in answers if chosen == shown)
    totals = (page.taken, page.right, page.wrong, len(page.rows))
    check(totals == (total, right, len(answers) - right, len(answers)),
          f"the page's taken, right, wrong and rows are {totals}; the quiz had {total} questions, "
          f"{right} of {len(answers)} answers right")
    check(len({row["question"] for row in page.rows}) == len(page.rows), "a question repeats")
    for number, (row, (chosen, shown)) in enumerate(zip(page.rows, answers), 1):
        check(row["question"] in bank, f"row {number} holds a question that is not in the bank: {row['question']!r}")
        texts, right_index = bank[row["question"]]
        check(shown == right_index, f"row {number}: the screen marked answer {shown + 1} right, not {right_index + 1}")
        check((row["right"], row["chosen"], row["bold"]) == (texts[right_index], texts[chosen], chosen != right_index),
              f"row {number} shows {row}, the answer given was {texts[chosen]!r}")
