// Headers that most test files include, parsed once per test program.
#pragma once

#include "precompiled_widgets.h"

#include <QTest>
#include <gtest/gtest.h>
