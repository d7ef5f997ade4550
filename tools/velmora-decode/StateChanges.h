// What changed in the window's state from one printed line to the next, for output that is
// small enough to keep and review as a diff.
#pragma once

#include <QJsonObject>

class CStateChanges {
public:
    // The members of state whose values differ from the previous call's, one level deep:
    // "items.1110", "cells.4", "caption". A member that went away reads null. The first call
    // returns every member. "sentence" and "tick" are always kept, so each line says where it is.
    QJsonObject Next(const QJsonObject& state);

private:
    QJsonObject m_previous;
};
