#pragma once

#include "reference.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// One sign or marking that a comment mentions: «знак 2.4», «знаки 3.27 и
// 3.28», «знаками 3.27–3.30» (3.28 and 3.29 too), «разметкой 1.14.1».
// Numbers after other words («пункт 13.9», «ч. 2 статьи 12.16») are not
// signs and are not found.
struct CommentLink
{
    ReferenceKind kind = ReferenceKind::Sign;
    QString number;
    qsizetype start = 0;  // where the number stands in the text;
    qsizetype length = 0; // 0 for a number inside a range, which is not written out

    friend bool operator==(const CommentLink &, const CommentLink &) = default;
};

namespace CommentLinks {

// The signs and markings `text` mentions, in the order of the text. With a
// reference, only the numbers it holds.
QList<CommentLink> find(const QString &text, const Reference *reference = nullptr);

// `text` as rich text with every written-out link an anchor of linkUrl();
// the rest escaped, line breaks kept.
QString toHtml(const QString &text, const QList<CommentLink> &links);

// "zeltrak-reference:sign/2.4" and back.
QUrl linkUrl(ReferenceKind kind, const QString &number);
std::optional<CommentLink> fromUrl(const QUrl &url);

} // namespace CommentLinks
