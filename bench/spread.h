// SPDX-License-Identifier: GPL-2.0-or-later
// How the benchmarks print a figure measured over several rounds: "median [min..max]".
#pragma once

#include <QString>
#include <QVector>
#include <algorithm>

inline QString spread(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return QStringLiteral("%1 [%2..%3]")
        .arg(values.at(values.size() / 2), 0, 'f', 2)
        .arg(values.first(), 0, 'f', 2)
        .arg(values.last(), 0, 'f', 2);
}
