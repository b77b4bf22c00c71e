// Where the program finds its pictures and sounds.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

#include <vector>

namespace zemtori {

// The data folder for a program in `program_dir`: "data" beside the program
// (the build tree), else "../share/zemtori" (an installed program).  When
// neither holds pictures, the folder beside the program is returned, so that
// the error names a path the user can find.
QString find_data_folder(const QString& program_dir);

// The program's icon at every size the data folder's "icons" holds
// ("zemtori_16.png" ... "zemtori_256.png", drawn by the picture generator,
// in the build tree); for an installed program, whose icons live only in the
// icon theme beside its data ("../icons/hicolor/NxN/apps/APP_ID.png"), every
// size found there.  An empty icon when there are none.
QIcon program_icon(const QString& data_folder, const QString& app_id = QString());

// The same in two steps: reading the pictures, which any thread may do, and
// making the icon of them, on the window's thread.
std::vector<QImage> read_program_icon(const QString& data_folder, const QString& app_id = QString());
QIcon icon_of(const std::vector<QImage>& images);

}  // namespace zemtori
