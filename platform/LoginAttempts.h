#pragma once

// Wrong entries at the password prompt. After the third wrong entry in a row
// each further entry waits first, 2 s, then twice as long each time up to
// 60 s, counted from the last wrong entry. The count and that moment live in
// the host store, so that restarting the program does not reset them.

#include <QDateTime>
#include <chrono>

struct LoginAttempts {
    int failures = 0;       // wrong entries in a row
    QDateTime lastFailure;  // when the last of them was made
};

// Nothing recorded (or a store that cannot be read) gives no failures.
LoginAttempts readLoginAttempts();
// False when the store cannot be written.
bool writeLoginAttempts(const LoginAttempts& attempts);

// A wrong entry at now, and a right one, which starts the count again. A store
// that cannot be written keeps what it held: the prompt never fails for it.
void recordWrongEntry(const QDateTime& now);
void recordRightEntry();

// How long the prompt must still wait at now before it takes an entry.
std::chrono::milliseconds loginWait(const LoginAttempts& attempts, const QDateTime& now);
