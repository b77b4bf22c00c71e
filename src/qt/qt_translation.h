// Qt's own words in Japanese: the standard buttons of the message boxes
// (はい, いいえ) and the other texts Qt itself shows.
#pragma once

class QTranslator;

namespace zemtori {

// Loads Qt's Japanese translation of its own texts from Qt's translations
// folder and installs it on the application; returns it (owned by the
// application), or nullptr when it is not there, in which case Qt keeps its
// English texts.
QTranslator* install_qt_translation();

}  // namespace zemtori
