# CPack installs the project into its staging folder through the same install
# script as `cmake --install`, which lists what it installed in the build
# folder's install_manifest.txt -- the list the README has players remove to
# uninstall.  Making the package must not replace that list with the
# package's files: the list is set aside before CPack installs
# (ZEMTORI_KEEP_MANIFEST=save) and put back after (=restore).
set(manifest "${ZEMTORI_BINARY_DIR}/install_manifest.txt")
set(kept "${ZEMTORI_BINARY_DIR}/packaging/install_manifest.kept")
set(none "${ZEMTORI_BINARY_DIR}/packaging/install_manifest.none")
if(ZEMTORI_KEEP_MANIFEST STREQUAL "save")
  # A list still set aside is the player's, left by a packaging that failed
  # before putting it back: it stays where it is.
  if(EXISTS "${kept}" OR EXISTS "${none}")
  elseif(EXISTS "${manifest}")
    file(RENAME "${manifest}" "${kept}")
  else()
    file(TOUCH "${none}")
  endif()
elseif(ZEMTORI_KEEP_MANIFEST STREQUAL "restore")
  if(EXISTS "${kept}")
    file(RENAME "${kept}" "${manifest}")
  elseif(EXISTS "${none}")
    file(REMOVE "${manifest}" "${none}")
  endif()
endif()
