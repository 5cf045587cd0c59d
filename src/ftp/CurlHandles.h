#pragma once

#include <QByteArray>

#include <memory>

// libcurl's handles, declared as libcurl declares them, so that the users of the transport do
// not read all of libcurl's headers.
typedef void CURL;
typedef void CURLM;
struct curl_slist;

// Owners of libcurl's handles: each is freed exactly once, by its owner, on every path.
namespace curl_handles {

struct EasyCleanup {
    void operator()(CURL* easy) const;
};
struct MultiCleanup {
    void operator()(CURLM* multi) const;
};
struct ListFree {
    void operator()(curl_slist* list) const;
};

} // namespace curl_handles

using CurlEasy = std::unique_ptr<CURL, curl_handles::EasyCleanup>;
using CurlMulti = std::unique_ptr<CURLM, curl_handles::MultiCleanup>;
using CurlList = std::unique_ptr<curl_slist, curl_handles::ListFree>;

// `list` with `line` appended (libcurl copies it); a list that could not grow stays as it was.
void appendTo(CurlList& list, const QByteArray& line);
