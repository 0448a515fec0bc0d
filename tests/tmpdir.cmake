# tmpdir.cmake -- the suite's temporary folder (TMPDIR of every test):
#   cmake -DMODE=fresh -DDIR=... -P tmpdir.cmake   makes it, empty, before the first test
#   cmake -DMODE=check -DDIR=... -P tmpdir.cmake   after the last: fails, naming them, when
#                                                  files were left there (and removes them)
if(MODE STREQUAL "fresh")
  file(REMOVE_RECURSE "${DIR}")
  file(MAKE_DIRECTORY "${DIR}")
elseif(MODE STREQUAL "check")
  file(GLOB left LIST_DIRECTORIES true RELATIVE "${DIR}" "${DIR}/*" "${DIR}/.*")
  if(left)
    file(REMOVE_RECURSE "${DIR}")
    file(MAKE_DIRECTORY "${DIR}")
    string(REPLACE ";" ", " left "${left}")
    message(FATAL_ERROR "the tests left in ${DIR}: ${left}")
  endif()
else()
  message(FATAL_ERROR "MODE must be fresh or check")
endif()
