"""Writes workbooks through the recorders (write_xlsx_samples) and reads them back with openpyxl.
Usage: check_xlsx.py WRITER CASE"""
import atexit
import datetime
import os
import shutil
import subprocess
import sys
import tempfile

import openpyxl

WRITER, CASE = sys.argv[1], sys.argv[2]
WORK = tempfile.mkdtemp(prefix="vx-xlsx-")
atexit.register(shutil.rmtree, WORK, True)


def check(condition, message):
    if not condition:
        print("FAILED:", message)
        sys.exit(1)


def write(scenario, path, rows=3):
    result = subprocess.run([WRITER, scenario, path, str(rows)], capture_output=True, text=True, timeout=120)
    check(result.returncode == 0, f"{scenario} {path}: {result.returncode} {result.stdout} {result.stderr}")
    return result.stdout


def check_single_rows(sheet, first, count, numbers_from=1):
    """`count` rows of a single-value acquisition from row `first`, numbered from `numbers_from`."""
    for i in range(count):
        number, date, time, value, judge = (c for c in sheet[first + i][:5])
        check(number.value == numbers_from + i, f"number {number.value} in row {first + i}")
        check(isinstance(date.value, datetime.datetime), f"date cell {date.value!r}")
        check(date.number_format == "yyyy-mm-dd", f"date format {date.number_format}")
        check(time.number_format == "hh:mm:ss", f"time format {time.number_format}")
        check(abs(value.value - float(f"1.2345{(numbers_from - 1 + i) % 10}E-03")) < 1e-12, f"value {value.value}")


HEADER = ["Number", "Date", "Time", "MeasValue", "CompJudge"]


def case_layouts():
    path = os.path.join(WORK, "single.xlsx")
    write("single", path)
    single = openpyxl.load_workbook(path).active
    check([c.value for c in single[1]] == HEADER, f"single header {[c.value for c in single[1]]}")
    check(single.max_row == 4, f"single rows {single.max_row}")
    check_single_rows(single, 2, 3)
    check(single["E3"].value == "HI", "judgement of the second row")
    check(not os.path.exists(path + ".journal"), "a completed workbook keeps no journal")

    path = os.path.join(WORK, "scan.xlsx")
    write("scan", path)
    scan = openpyxl.load_workbook(path).active
    header = [c.value for c in scan[1]]
    check(len(header) == 131, f"scan header has {len(header)} columns")
    check(header[:5] == ["Number", "Date", "Time", "TotalJudge", "CH1_MeasValue"], f"scan header {header[:5]}")
    check(scan["EA1"].value == "Temperature", f"last header cell {scan['EA1'].value}")
    check(scan["DZ1"].value == "CH42_MuxJudge", f"CH42 judgement header {scan['DZ1'].value}")
    check(scan.max_row == 3 and scan.max_column == 131, f"scan size {scan.max_row} x {scan.max_column}")
    check(scan["D2"].value == "FAIL", "total judgement")
    check(scan["DZ3"].value == "FAIL" and scan["EA3"].value == 24.0, "last cells of the second row")


def case_two_captures():
    path = os.path.join(WORK, "twice.xlsx")
    write("single", path, 5)
    write("single", path, 2)
    sheet = openpyxl.load_workbook(path).active
    check(sheet.max_row == 9, f"two captures keep 1 + 5 + 1 + 2 rows, not {sheet.max_row}")
    check([c.value for c in sheet[1]] == HEADER and [c.value for c in sheet[7]] == HEADER, "both headers")
    check_single_rows(sheet, 2, 5)
    check_single_rows(sheet, 8, 2)


def case_foreign_workbooks():
    # A workbook of values and dates from elsewhere is carried over, cell types and formats kept.
    plain = os.path.join(WORK, "plain.xlsx")
    book = openpyxl.Workbook()
    book.active.title = "Readings"
    book.active.append(["Lot", "When", "Ohm", "Checked"])
    book.active.append(["A-17", datetime.datetime(2026, 12, 9, 0, 0), 0.00123, True])
    book.active["B2"].number_format = "yyyy-mm-dd"
    book.save(plain)
    out = write("single", plain, 2)
    check(out == "", f"no message for a workbook that is carried over: {out}")
    sheet = openpyxl.load_workbook(plain)["Readings"]
    check([c.value for c in sheet[2]][:4] == ["A-17", datetime.datetime(2026, 12, 9), 0.00123, True], f"kept {list(sheet[2])}")
    check(sheet["B2"].number_format == "yyyy-mm-dd", "the date keeps its format")
    check([c.value for c in sheet[3]] == HEADER and sheet.max_row == 5, "the new rows follow the last used row")
    check_single_rows(sheet, 4, 2)

    # A formula or a second sheet of its own cannot be carried over: the rows go beside it.
    for name, make in (("formula", lambda b: b.active.__setitem__("C1", "=A1+B1")),
                       ("sheets", lambda b: b.create_sheet("Notes"))):
        path = os.path.join(WORK, f"{name}.xlsx")
        book = openpyxl.Workbook()
        book.active.append([1, 2])
        make(book)
        book.save(path)
        with open(path, "rb") as file:
            before = file.read()
        out = write("single", path, 2)
        diverted = os.path.join(WORK, f"{name}-2.xlsx")
        with open(path, "rb") as file:
            check(file.read() == before, f"{name}: the workbook is left as it was")
        check(f"the rows are saved to {diverted}." in out, f"{name}: the operator is told where: {out!r}")
        check(openpyxl.load_workbook(diverted).active.max_row == 3, f"{name}: rows in the new workbook")
        # The next capture into the same workbook joins the earlier one beside it.
        write("single", path, 1)
        check(openpyxl.load_workbook(diverted).active.max_row == 5, f"{name}: second capture beside it")
        check(not os.path.exists(os.path.join(WORK, f"{name}-3.xlsx")), f"{name}: no third file")


def case_sheet_limit():
    path = os.path.join(WORK, "limit.xlsx")
    out = write("limited", path, 25)
    check("continue on the worksheet Sheet2" in out and "Sheet3" in out, f"the switch is reported: {out!r}")
    book = openpyxl.load_workbook(path)
    check(book.sheetnames == ["Sheet1", "Sheet2", "Sheet3"], f"sheets {book.sheetnames}")
    rows = 0
    for sheet in book.worksheets:
        check([c.value for c in sheet[1]] == HEADER, f"{sheet.title} starts with the header")
        check_single_rows(sheet, 2, sheet.max_row - 1, rows + 1)
        rows += sheet.max_row - 1
    check(rows == 25 and book["Sheet1"].max_row == 10, f"{rows} rows kept")
    # A workbook of its own with several sheets is carried over whole; rows go on on the last one.
    write("limited", path, 3)
    book = openpyxl.load_workbook(path)
    check(book.sheetnames == ["Sheet1", "Sheet2", "Sheet3", "Sheet4"], f"sheets after a second capture {book.sheetnames}")


def case_spreadsheet_program():
    ssconvert = shutil.which("ssconvert")
    if ssconvert is None:
        print("skipped: ssconvert (Debian package gnumeric) is not installed")
        return
    path = os.path.join(WORK, "convert.xlsx")
    write("single", path, 3)
    write("single", path, 1)
    csv = os.path.join(WORK, "convert.csv")
    # Each cell as the spreadsheet program shows it, in the cell's own number format.
    result = subprocess.run([ssconvert, "--export-type=Gnumeric_stf:stf_assistant", "-O", "format=preserve separator=,",
                             path, csv], capture_output=True, text=True, timeout=120,
                            env=dict(os.environ, HOME=WORK))
    check(result.returncode == 0, f"ssconvert: {result.stderr}")
    with open(csv, encoding="utf-8") as file:
        rows = [line.rstrip("\n").split(",") for line in file]
    check(len(rows) == 6, f"converted rows {rows}")
    check(rows[0] == HEADER and rows[4] == HEADER, f"headers {rows[0]} {rows[4]}")
    check(rows[1][0] == "1" and rows[3][0] == "3" and rows[5][0] == "1", f"numbers {rows}")
    check(len(rows[1][1]) == 10 and rows[1][1][4] == "-", f"date shown as yyyy-mm-dd: {rows[1][1]}")
    check(len(rows[1][2]) == 8 and rows[1][2][2] == ":", f"time shown as hh:mm:ss: {rows[1][2]}")
    check(abs(float(rows[2][3]) - 1.23451e-3) < 1e-6, f"value {rows[2][3]}")


globals()[f"case_{CASE}"]()
print(f"{CASE}: workbooks read back correctly")
