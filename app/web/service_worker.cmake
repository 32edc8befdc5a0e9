# Writes the site's service worker: the list of the files it keeps and a cache
# name made of the version and a hash of those files, so that any change to
# the site makes a new cache.
# cmake -DSITE=<dir> -DVERSION=<v> -DTEMPLATE=<in> -DFILES=<a,b,...> -P service_worker.cmake
string(REPLACE "," ";" FILES "${FILES}")
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
