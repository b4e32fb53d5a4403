# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a written results page and holds it against the question bank and what the player did."""

import re

from desktop import TestFailure, check

ROW_START = "<tr><td width=50%><font size=2 color=#999966>"
CELL = re.compile(r"<font size=2 color=#999966>(<b>)?(.*?)(?:</b>)?</font></td>")


def load_bank(path):
    """question text -> (four answers, index of the right one)"""
    bank = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            fields = line.rstrip("\n").split("\t")
            check(len(fields) == 6, f"bank line {number} has {len(fields)} fields")
            check(fields[0] not in bank, f"bank line {number} repeats a question")
            bank[fields[0]] = (fields[1:5], int(fields[5]) - 1)
    return bank


class Page:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.raw = f.read()
        check(self.raw.endswith(b"</table></body></html>\r\n"), "the page does not end with its closing and CR LF")
        # The page is written in Windows-1252 and declares no character set.
        self.text = self.raw.decode("cp1252")
        self.right = self._total("Total Correct Answer", r":(\d+) </font></td></tr>")
        self.wrong = self._total("Total Incorrect Answer", r":(\d+)</font> </td></tr>")
        self.taken = self._total("Total Taken Questions", r":(\d+)</font></td></tr></table><hr color=#996633>")
        self.rows = []
        for chunk in self.text.split(ROW_START)[1:]:
            cells = CELL.findall(ROW_START[len("<tr><td width=50%>"):] + chunk)
            check(len(cells) == 3, f"a row with {len(cells)} cells: {chunk[:200]!r}")
            bold = {c[0] for c in cells}
            check(len(bold) == 1, f"a row bold in some cells only: {chunk[:200]!r}")
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
    wrong = len(answers) - right
    check(page.taken == total, f"the page says {page.taken} questions were taken, the quiz had {total}")
    check(page.right == right, f"the page counts {page.right} right answers, the screen showed {right}")
    check(page.wrong == wrong, f"the page counts {page.wrong} wrong answers, the screen showed {wrong}")
    check(len(page.rows) == len(answers), f"the page has {len(page.rows)} rows for {len(answers)} answers")
    seen = set()
    for number, (row, (chosen, shown)) in enumerate(zip(page.rows, answers), 1):
        question = row["question"]
        if question not in bank:
            raise TestFailure(f"row {number} holds a question that is not in the bank: {question!r}")
        check(question not in seen, f"row {number} repeats {question!r}")
        seen.add(question)
        texts, right_index = bank[question]
        check(shown == right_index,
              f"row {number}: the screen marked answer {shown + 1} right, the bank says {right_index + 1}")
        check(row["right"] == texts[right_index], f"row {number}: right answer {row['right']!r}")
        check(row["chosen"] == texts[chosen], f"row {number}: chosen {row['chosen']!r}, not {texts[chosen]!r}")
        check(row["bold"] == (chosen != right_index), f"row {number}: bold is {row['bold']} for "
              f"{'a wrong' if chosen != right_index else 'a right'} answer")
