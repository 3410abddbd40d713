"""Compares a saved CSV file, byte by byte in form and value by value in
content, with the points a digitizing must give."""

from expected_points import number_texts

HEADER = "X, Y"
MAX_REPORTED = 5


def csv_problems(data: bytes, points: list[tuple[float, float]]) -> list[str]:
    """Every way the file differs from header "X, Y" plus one "X, Y" line per
    point, all lines ended by CR LF; empty when the file is right."""
    if data.startswith(b"\xef\xbb\xbf"):
        return ["the file starts with a byte-order mark"]
    try:
        text = data.decode("ascii")
    except UnicodeDecodeError as error:
        return [f"the file is not plain ASCII: {error}"]
    if not text.endswith("\r\n"):
        return ["the last line does not end with CR LF"]
    lines = text[:-2].split("\r\n")
    problems = [f"line {number} holds a bare CR or LF" for number, line in enumerate(lines, 1)
                if "\r" in line or "\n" in line]
    if lines[0] != HEADER:
        problems.append(f"header is {lines[0]!r}, expected {HEADER!r}")
    data_lines = lines[1:]
    if len(data_lines) != len(points):
        problems.append(f"{len(data_lines)} data lines, expected {len(points)}")
    wrong = []
    for index, (line, (x, y)) in enumerate(zip(data_lines, points)):
        x_texts, y_texts = number_texts(x), number_texts(y)
        fields = line.split(", ")
        if len(fields) != 2 or fields[0] not in x_texts or fields[1] not in y_texts:
            wrong.append(f"line {index + 2} (point {index + 1}): {line!r}, expected "
                         f"{' or '.join(sorted(x_texts))}, {' or '.join(sorted(y_texts))}")
    if wrong:
        problems.append(f"{len(wrong)} data lines differ from the values worked out here")
        problems.extend(wrong[:MAX_REPORTED])
    return problems
