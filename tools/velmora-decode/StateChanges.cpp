#include "StateChanges.h"

#include <QJsonArray>

namespace {

// One level of nesting flattened: objects by key, arrays by index.
QJsonObject Flatten(const QJsonObject& state) {
    QJsonObject flat;
    for (auto it = state.begin(); it != state.end(); ++it) {
        if (it.value().isObject()) {
            const QJsonObject inner = it.value().toObject();
            for (auto in = inner.begin(); in != inner.end(); ++in)
                flat.insert(it.key() + '.' + in.key(), in.value());
        } else if (it.value().isArray()) {
            const QJsonArray inner = it.value().toArray();
            for (qsizetype i = 0; i < inner.size(); ++i)
                flat.insert(it.key() + '.' + QString::number(i), inner.at(i));
        } else {
            flat.insert(it.key(), it.value());
        }
    }
    return flat;
}

} // namespace

QJsonObject CStateChanges::Next(const QJsonObject& state) {
    const QJsonObject flat = Flatten(state);
    QJsonObject changes;
    for (auto it = flat.begin(); it != flat.end(); ++it)
        if (it.key() == "sentence" || it.key() == "tick" ||
            m_previous.value(it.key()) != it.value())
            changes.insert(it.key(), it.value());
    for (auto it = m_previous.begin(); it != m_previous.end(); ++it)
        if (!flat.contains(it.key()))
            changes.insert(it.key(), QJsonValue::Null);
    m_previous = flat;
    return changes;
}
