module tarvo

go 1.21
