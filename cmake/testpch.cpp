// SPDX-License-Identifier: GPL-3.0-or-later
// The program that makes the tests' precompiled header, with the flags every test program has.
int main()
{
    return 0;
}
