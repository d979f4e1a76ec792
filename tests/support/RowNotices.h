#pragma once

class QAbstractItemModel;

namespace vantor::test {

// Qt's side of a list control learns of inserted rows at the end of the turn (at most once a
// frame); a test that reads the control's model as the views see it waits for that notice
// first. False when it did not come within a second.
bool WaitForRowNotice(const QAbstractItemModel* model);

}  // namespace vantor::test
