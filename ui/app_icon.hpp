#pragma once
// The program's own icon, in every size the desktop and the window frames ask for.

#include <QIcon>

namespace zarvelo {

QIcon applicationIcon();

}  // namespace zarvelo
