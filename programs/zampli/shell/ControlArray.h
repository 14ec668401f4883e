// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <vector>

namespace zampli {

// What every control array reports: a click on element `index`.
class ControlArraySignals : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
signals:
    void clicked(int index);
};

// Controls of one kind under one name, numbered from 0, with one indexed
// click. It lives as long as the canvas that made it.
template <class W>
class ControlArray : public ControlArraySignals {
public:
    using ControlArraySignals::ControlArraySignals;

    void append(W *w)
    {
        const int index = int(items_.size());
        items_.emplace_back(w);
        if constexpr (std::is_base_of_v<QAbstractButton, W>)
            connect(w, &QAbstractButton::clicked, this, [this, index] { emit clicked(index); });
        else
            connect(w, &W::clicked, this, [this, index] { emit clicked(index); });
    }

    int size() const { return int(items_.size()); }
    W *operator[](int index) const { return items_.at(std::size_t(index)); }

    // Iterates over the elements in index order.
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<QPointer<W>> items_;
};

} // namespace zampli
