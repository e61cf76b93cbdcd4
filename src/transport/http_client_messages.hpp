#pragma once

#include <string_view>

namespace nvrp::http_client_messages {

// Log titles of the HTTP client.
inline constexpr std::string_view kTitleWrite = "Write";
inline constexpr std::string_view kTitleGet = "GET";
inline constexpr std::string_view kTitleHttpError = "HTTP Error";
inline constexpr std::string_view kTitleMethodError = "PostXml method error";
// "Write [n]" and "Read [n]" carry the length of the text in characters.
inline constexpr std::string_view kTitleWriteLengthPrefix = "Write [";
inline constexpr std::string_view kTitleReadLengthPrefix = "Read [";
inline constexpr std::string_view kTitleLengthSuffix = "]";
// Between the code and the text in "code - text" messages.
inline constexpr std::string_view kCodeTextSeparator = " - ";

// Error texts of failures that happen before anything is sent.
inline constexpr std::string_view kInvalidRequestText =
    "The URL or an HTTP header contains a line break or a NUL character";
inline constexpr std::string_view kClientCreateFailedText = "Could not create the HTTP client";
inline constexpr std::string_view kInvalidHeaderText = "Invalid HTTP request header: ";

// Body charset of the XML post and the content types of the three kinds of POST.
inline constexpr std::string_view kXmlContentType = "application/xml";
inline constexpr std::string_view kJsonContentType = "application/json";
inline constexpr std::string_view kXmlPostContentType = "application/xml; charset=utf-8";
inline constexpr std::string_view kUrlEncodedContentType = "application/x-www-form-urlencoded";
inline constexpr std::string_view kDefaultContentCharset = "utf-8";

}  // namespace nvrp::http_client_messages
