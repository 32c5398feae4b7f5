module tarvopeerbench

go 1.26.8

require github.com/consensys/gnark-crypto v0.22.0

require (
	github.com/bits-and-blooms/bitset v1.25.0 // indirect
	golang.org/x/crypto v0.57.0 // indirect
	golang.org/x/sys v0.48.0 // indirect
)
