#pragma once

#include <string>
#include <utility>
#include <vector>

// A quick reader of the friends.areFriends answer, for the largest circles: 5,000 friends make
// 12.5 million pairs, and TinyXML builds seven nodes for each, which costs the client more than
// the server spends answering. The reader takes the plain form the answer has on the wire
//
//   <?xml ...?>
//   <friends_areFriends_response ...attributes...>
//     <friend_info><uid1>1</uid1><uid2>2</uid2><are_friends>1</are_friends></friend_info> ...
//   </friends_areFriends_response>
//
// (whitespace between elements, the three children in any order, each child with text or empty,
// "<are_friends xsi:nil="true"/>" as well) and gives exactly what the TinyXML walk gives for it:
// the uid1 and uid2 texts of every friend_info whose are_friends text is "1", in document order.
// Anything else the XML grammar allows, and TinyXML would read differently or might (comments,
// entities, CDATA, other elements or attributes, whitespace or bytes past ASCII inside a text, a
// different root), is refused, and the caller reads the answer with TinyXML instead: refusal
// says nothing about the answer's validity.
namespace UTL_AreFriendsAnswer
{
using Friends = std::vector<std::pair<std::string, std::string>>;

// Appends the pairs that are friends to `friends` and returns true when `answer` has the plain
// form; otherwise returns false and leaves `friends` as it was.
bool ReadPlain(const std::string& answer, Friends& friends);
} // namespace UTL_AreFriendsAnswer
