#pragma once

class QWidget;

// A page that carries its documented object name and holds one widget filling it edge to edge.
QWidget *namedPage(const char *name, QWidget *content);
