// Where the program finds its pictures and sounds.
#pragma once

#include <QString>

namespace zemtori {

// The data folder for a program in `program_dir`: "data" beside the program
// (the build tree), else "../share/zemtori" (an installed program).  When
// neither holds pictures, the folder beside the program is returned, so that
// the error names a path the user can find.
QString find_data_folder(const QString& program_dir);

}  // namespace zemtori
