# Writes the site's service worker: the list of the files it keeps (every file
# in the site folder but itself) and a cache name made of the version and a
# hash of those files, so that any change to the site makes a new cache.
# cmake -DSITE=<dir> -DVERSION=<v> -DTEMPLATE=<in> -P service_worker.cmake
file(GLOB_RECURSE FILES LIST_DIRECTORIES false RELATIVE "${SITE}" "${SITE}/*")
list(REMOVE_ITEM FILES service-worker.js)
list(SORT FILES)
set(hashes "")
set(quoted "")
foreach(file IN LISTS FILES)
  file(SHA256 "${SITE}/${file}" hash)
  string(APPEND hashes "${file} ${hash}\n")
  list(APPEND quoted "'${file}'")
endforeach()
string(SHA256 digest "${hashes}")
string(SUBSTRING "${digest}" 0 16 digest)
set(ORVANTA_WEB_CACHE_VERSION "${VERSION}-${digest}")
list(JOIN quoted ", " ORVANTA_WEB_CACHED_FILES)
configure_file("${TEMPLATE}" "${SITE}/service-worker.js" @ONLY)
