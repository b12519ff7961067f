SELECT 1
GO
select 2
  go  
SELECT 3