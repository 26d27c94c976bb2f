#include "extract/web_links.h"

#include <gtest/gtest.h>

using namespace tessarel;
using namespace Qt::Literals::StringLiterals;

namespace {

QString Linked(QString text) {
    LinkWebAddresses(text);
    return text;
}

TEST(WebLinks, AddressUpToTheTerminatorBecomesALink) {
    EXPECT_EQ(Linked(u"see http://host.org/a/b.htm, then"_s),
              u"see <a href=\"http&#58&#47&#47host.org/a/b.htm\">host.org/a/b.htm</a>, then"_s);
    for (const QString& end : {u";"_s, u" "_s, u"\t"_s, u"\r"_s}) {
        EXPECT_EQ(Linked(u"http://x.y"_s + end), u"<a href=\"http&#58&#47&#47x.y\">x.y</a>"_s + end);
    }
    // A trailing full stop or parenthesis belongs to the address.
    EXPECT_EQ(Linked(u"(http://a.b/c). next"_s), u"(<a href=\"http&#58&#47&#47a.b/c).\">a.b/c).</a> next"_s);
}

TEST(WebLinks, SecureAddressesAreLinkedToo) {
    EXPECT_EQ(Linked(u"http://a https://b/c "_s),
              u"<a href=\"http&#58&#47&#47a\">a</a> <a href=\"https&#58&#47&#47b/c\">b/c</a> "_s);
}

TEST(WebLinks, WhatIsNotLinked) {
    for (const QString& text : {u"HTTP://x "_s, u"Http://x "_s, u"http://runs-to-the-end"_s, u"httpx://x "_s,
                                u"http:/x "_s, u"https//x "_s, u"httpss://x "_s, u"http&#58&#47&#47x "_s,
                                // a mismatching character is used up and cannot start the scheme
                                u"hhttp://x "_s,
                                // a bare scheme would vanish as an empty link
                                u"use http:// or https://, then"_s}) {
        EXPECT_EQ(Linked(text), text);
    }
}

}  // namespace
