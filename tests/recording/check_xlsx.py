"""Reads back the workbooks written by write_xlsx_samples and checks header, rows and formats."""
import datetime
import sys

import openpyxl


def check(condition, message):
    if not condition:
        print("FAILED:", message)
        sys.exit(1)


folder = sys.argv[1]

single = openpyxl.load_workbook(f"{folder}/single.xlsx").active
header = [c.value for c in single[1]]
check(header == ["Number", "Date", "Time", "MeasValue", "CompJudge"], f"single header {header}")
check(single.max_row == 4, f"single rows {single.max_row}")
for row in range(2, 5):
    number, date, time, value, judge = (c for c in single[row])
    check(number.value == row - 1, f"number {number.value}")
    check(isinstance(date.value, datetime.datetime), f"date cell {date.value!r}")
    check(date.number_format == "yyyy-mm-dd", f"date format {date.number_format}")
    check(time.number_format == "hh:mm:ss", f"time format {time.number_format}")
    check(abs(value.value - float(f"1.2345{row - 2}E-03")) < 1e-12, f"value {value.value}")
check(single["E3"].value == "HI", "judgement of the second row")

scan = openpyxl.load_workbook(f"{folder}/scan.xlsx").active
header = [c.value for c in scan[1]]
check(len(header) == 131, f"scan header has {len(header)} columns")
check(header[:5] == ["Number", "Date", "Time", "TotalJudge", "CH1_MeasValue"], f"scan header {header[:5]}")
check(scan["EA1"].value == "Temperature", f"last header cell {scan['EA1'].value}")
check(scan["DZ1"].value == "CH42_MuxJudge", f"CH42 judgement header {scan['DZ1'].value}")
check(scan.max_row == 3 and scan.max_column == 131, f"scan size {scan.max_row} x {scan.max_column}")
check(scan["D2"].value == "FAIL", "total judgement")
check(scan["DZ3"].value == "FAIL" and scan["EA3"].value == 24.0, "last cells of the second row")
print("xlsx files read back correctly")
