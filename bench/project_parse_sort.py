#!/usr/bin/env python3
"""Reads a .dev project file and sorts it as a load does: the report lists by their first
column, the to-dos by version and then, stably, by status. The yardstick for the load of
`trovas-cli PROJECT info` (project_load_bench). Usage: project_parse_sort.py PROJECT.dev"""
import sys

def key(text):  # Windows-1252 bytes with only a-z folded, as the lists compare
    return text.encode('cp1252', 'replace').upper()

data = open(sys.argv[1], 'rb').read()
try:
    text = data.decode('utf-8') if any(b >= 0x80 for b in data) else data.decode('cp1252')
except UnicodeDecodeError:
    text = data.decode('cp1252', 'replace')
lines = text.replace('\r\n', '\n').replace('\r', '\n').split('\n')
counts = [int(n) for n in lines[8:18]]
sizes = [6, 1, 2, 1, 5, 1, 1, 8, 1, 1]
position, sections = 18, []
for count, size in zip(counts, sizes):
    sections.append([lines[position + i * size:position + (i + 1) * size] for i in range(count)])
    position += count * size
for section in (0, 2, 4):
    sections[section].sort(key=lambda record: key(record[0]))
todos = sections[7]
todos.sort(key=lambda item: key(item[4]))
todos.sort(key=lambda item: int(item[0]))
print('Name:', lines[2])
print('To-do items:', len(todos))
print('Open tasks:', sum(1 for item in todos if item[0] in ('10', '11')))
