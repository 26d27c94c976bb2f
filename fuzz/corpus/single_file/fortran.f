`ø@C     file: Stats
C     Mean and variance of real arrays.
C     name: MEAN
C     Returns the *mean* of X; calls
C     nothing.
      REAL FUNCTION MEAN(X, N)
      call nop()
      END
c     function: VAR
c     variance, using MEAN.
      REAL FUNCTION VAR(X, N)
      END
!     sub: RESET
!     Zeroes X.
      SUBROUTINE RESET(X)
