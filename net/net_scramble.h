#pragma once
// Scrambling of message bodies: a light disguise against casual reading of
// the wire, not protection. Each body byte is XORed with the next value of
// s = (s * 214013 + 2531011) mod 256, started from the low byte of a seed,
// and the u16 seed travels after the body.
#include "app/message/net_message.h"

// Only for a type word with the scramble bit (0x8000): XORs the whole body
// (the record's payload) from the low byte of the seed, then appends the
// seed. False, and the record unchanged, when the seed does not fit.
bool ScrambleMessage(u16 _type, net_message_c& _message, u16 _seed);

// Only for a type word with the scramble bit, on a received payload that
// starts with the type word: takes the seed off the end and restores the
// bytes after the type word. False, and the record unchanged, when the
// payload cannot hold the type word and a seed.
bool UnscrambleMessage(u16 _type, net_message_c& _message);
