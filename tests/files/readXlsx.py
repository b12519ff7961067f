# Reads a workbook with openpyxl and prints what the tests check, as JSON: the sheet names, the
# number format of each column entry, and every cell of the active sheet (value, type, format).
import json
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
sheet = book.active
columns = [
    {"min": dim.min, "max": dim.max, "format": dim.number_format}
    for dim in sheet.column_dimensions.values()
]
rows = [
    [{"value": cell.value, "type": cell.data_type, "format": cell.number_format} for cell in row]
    for row in sheet.iter_rows()
]
print(json.dumps({"sheets": book.sheetnames, "columns": columns, "rows": rows}, ensure_ascii=False))
