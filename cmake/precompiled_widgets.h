// Headers that most files of a target with windows include, parsed once per target.
#pragma once

#include "precompiled_gui.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QWidget>
