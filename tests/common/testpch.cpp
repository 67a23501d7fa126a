// The object the tests' precompiled header is built for.
