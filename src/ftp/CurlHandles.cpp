#include "ftp/CurlHandles.h"

#include <curl/curl.h>

namespace curl_handles {

void EasyCleanup::operator()(CURL* easy) const {
    curl_easy_cleanup(easy);
}

void MultiCleanup::operator()(CURLM* multi) const {
    curl_multi_cleanup(multi);
}

void ListFree::operator()(curl_slist* list) const {
    curl_slist_free_all(list);
}

} // namespace curl_handles

void appendTo(CurlList& list, const QByteArray& line) {
    // libcurl returns the head of the longer list (the same one, unless the list was empty),
    // or nothing, leaving the list as it was, when it could not grow.
    if (curl_slist* longer = curl_slist_append(list.get(), line.constData())) {
        (void)list.release();
        list.reset(longer);
    }
}
